#!/bin/sh
# Installs what building, running and testing KVOR needs on Debian 12, when it is missing.
set -eu
packages="cmake ninja-build g++ pkg-config qt6-base-dev qt6-translations-l10n libpugixml-dev
libxlsxwriter-dev libgtest-dev libbenchmark-dev python3-openpyxl qt6-svg-dev zlib1g-dev
desktop-file-utils appstream dpkg-dev libexpat1-dev fonts-dejavu-core poppler-utils"
# `deps.sh sanitizers`: also clang and its sanitizer runtimes, for fuzz/run and the checked tests.
if [ "${1:-}" = sanitizers ]; then
    packages="$packages clang libclang-rt-14-dev"
fi
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing
