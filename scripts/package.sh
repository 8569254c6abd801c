#!/bin/sh
# Builds KVOR and makes its two packages in build/packages: the .deb of the standard install
# (/usr/bin, /usr/share/kvor, desktop entry, MIME type, icons, manual pages, AppStream metadata)
# and the .tar.gz of the portable program folder that runs where it is unpacked. Where lintian is
# installed the .deb must pass it without an error or a warning.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
cd "$build"
cpack -G DEB
cpack -G TGZ
deb=$(ls "$build/packages"/kvor_*_*.deb)
if command -v lintian >/dev/null 2>&1; then
    echo "lintian $deb"
    lintian --fail-on error,warning "$deb"
else
    echo "lintian is not installed: the .deb is not checked (apt-get install lintian)"
fi
echo "Packages:"
ls -l "$build/packages"/*.deb "$build/packages"/*.tar.gz
