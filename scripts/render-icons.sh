#!/bin/sh
# Renders the PNG sizes of the program's icon from dist/kvor.svg (needs rsvg-convert from
# librsvg2-bin). The PNGs are committed; run this after changing the SVG.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$root/dist/kvor.svg" -o "$root/dist/icons/kvor-$size.png"
done
