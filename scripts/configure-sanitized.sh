#!/bin/sh
# Configures the clang build with sanitizers and fuzz targets in the given folder, once.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKVOR_BUILD_FUZZ=ON \
        -DKVOR_BUILD_BENCH=OFF >/dev/null
fi
