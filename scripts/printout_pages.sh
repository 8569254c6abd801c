#!/bin/sh
# Counts the pages LibreOffice lays a printout over, on a desktop without Calibri or its metric
# twin Carlito, where the spreadsheet's default font is replaced by some other one. Writes the PDF
# and one PNG per page beside the printout for a look.
#
# Usage: scripts/printout_pages.sh <printout.xlsx>
# Needs soffice (libreoffice-calc-nogui) and pdfinfo/pdftoppm (poppler-utils); Arial should be
# there or its metric twin Liberation Sans (fonts-liberation2), as on most desktops.
set -eu
[ $# -eq 1 ] || { echo "usage: $0 <printout.xlsx>" >&2; exit 2; }
if fc-list | grep -qi -e carlito -e calibri; then
    echo "Calibri or Carlito is installed: the check needs a desktop without them" >&2
    exit 2
fi
xlsx=$(readlink -f "$1")
out=$(dirname "$xlsx")
stem=$(basename "$xlsx" .xlsx)
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
soffice -env:UserInstallation="file://$profile" --headless --convert-to pdf --outdir "$out" \
    "$xlsx" >/dev/null
pdftoppm -r 70 -png "$out/$stem.pdf" "$out/$stem-page"
echo "fonts: $(pdffonts "$out/$stem.pdf" | tail -n +3 | awk '{print $1}' | tr '\n' ' ')"
pdfinfo "$out/$stem.pdf" | grep '^Pages:'
