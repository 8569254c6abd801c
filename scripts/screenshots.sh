#!/bin/sh
# Makes the screenshots of the README in docs/: the main window, the new-report dialog, the editor
# with figures and a red opening amount, and the printed form rendered through LibreOffice.
# The program runs under a private X server driven by guidrive, a tool kept beside this
# repository (../shared/tools/guidrive; set GUIDRIVE to its folder when it is elsewhere), on a
# scratch program folder made from the sample files. LibreOffice (soffice) lays out the printed
# form for printing and pdftoppm turns its first page into a picture.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
guidrive=${GUIDRIVE:-$root/../shared/tools/guidrive}
if [ ! -x "$guidrive/run" ]; then
    echo "screenshots: guidrive is not at $guidrive (set GUIDRIVE to the folder holding 'run')" >&2
    exit 2
fi
if ! fc-list 2>/dev/null | grep -q "Liberation Sans"; then
    echo "screenshots: the printed form is laid out in Arial; install fonts-liberation2 so that" \
        "LibreOffice has a metric twin of it" >&2
    exit 2
fi
for tool in soffice pdftoppm; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "screenshots: $tool is needed to render the printed form" \
            "(libreoffice-calc-nogui, poppler-utils)" >&2
        exit 2
    fi
done
[ -x "$build/bin/kvor" ] || cmake --build "$build" --target kvor

work=$(mktemp -d /tmp/kvor-screenshots.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program/Data" "$work/home" "$work/bin"
cp "$build/bin/kvor" "$work/program/"
for f in Obshtini.xml Structure.xml help.html kvor.ini; do cp "$root/sample/$f" "$work/program/"; done
# The printed form is handed to "the spreadsheet program": here one that keeps the file.
cat >"$work/bin/localc" <<SCRIPT
#!/bin/sh
cp "\$1" "$work/printed.xlsx"
SCRIPT
printf '#!/bin/sh\nexit 1\n' >"$work/bin/xdg-mime"
chmod +x "$work/bin/localc" "$work/bin/xdg-mime"

# In the accountant's language and formats.
HOME=$work/home PATH=$work/bin:$PATH LC_ALL=bg_BG.UTF-8 LANG=bg_BG.UTF-8 \
    "$guidrive/run" /usr/bin/python3 "$root/scripts/screenshots.py" "$work/program" "$work/shots"

# The first page of the printed form, as LibreOffice lays it out for printing.
HOME=$work/home soffice --headless --convert-to pdf --outdir "$work" "$work/printed.xlsx" \
    >/dev/null 2>&1
pdftoppm -png -r 90 -f 1 -l 1 -singlefile "$work/printed.pdf" "$work/shots/printed-form"
mkdir -p "$root/docs"
for f in main-window new-report editor printed-form; do
    cp "$work/shots/$f.png" "$root/docs/$f.png"
done
ls -l "$root/docs"/*.png
