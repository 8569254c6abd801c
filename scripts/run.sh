#!/bin/sh
# Builds KVOR and starts it on the sample program folder (build/bin).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
exec "$build/bin/kvor"
