#!/bin/sh
# Builds KVOR and makes its two packages in build/packages: the .deb of the standard install
# (/usr/bin, /usr/share/kvor, desktop entry, icons, AppStream metadata) and the .tar.gz of the
# portable program folder that runs where it is unpacked.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
cd "$build"
cpack -G DEB
cpack -G TGZ
echo "Packages:"
ls -l "$build/packages"/*.deb "$build/packages"/*.tar.gz
