#!/usr/bin/python3
"""Reads a printout's .xlsx back with openpyxl, independently of the program, and checks the
layout of the printed form against the structure file it was made from.

Usage: check_printout.py <printout.xlsx> <Structure.xml>

The printout is the one print_sample makes: municipality Пловдив, period 03 / 2004, and report
row n holding the amounts n * 1000.5 (opening), n (added) and 0.25 (taken away).
"""

import sys
import xml.etree.ElementTree as ET
import zipfile

from openpyxl import load_workbook
from openpyxl.cell.cell import MergedCell

GREY = "C0C0C0"
COLS = "ABCDEFG"
AMOUNT_COLS = "BDFG"
CODE_COLS = {"C": "5", "E": "7"}
FOOTNOTE_START = "1/ Дълга, деноминиран във валута"
WIDTHS = {"A": 68, "B": 20, "C": 15, "D": 20, "E": 15, "F": 20, "G": 20}

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def fill_of(cell):
    f = cell.fill
    if f is None or f.fill_type != "solid":
        return None
    return f.fgColor.rgb[-6:]  # ARGB


def has_all_borders(cell):
    b = cell.border
    return all(side is not None and side.style == "thin"
               for side in (b.left, b.right, b.top, b.bottom))


def has_no_border(cell):
    b = cell.border
    return all(side is None or side.style is None for side in (b.left, b.right, b.top, b.bottom))


def main():
    xlsx_path, structure_path = sys.argv[1], sys.argv[2]
    root = ET.parse(structure_path).getroot()
    structure = root.find("structure")
    rows = list(structure.iter("str"))
    columns = {c.get("id"): c.get("name") for c in root.find("columns").iter("col")}
    codes = {(c.get("strid"), c.get("colid")): c.get("item") for c in root.find("codes")}
    grid_rows = len(rows) + 3
    last = grid_rows + 3

    with zipfile.ZipFile(xlsx_path) as z:
        check(z.testzip() is None, "a part of the file is damaged")
        app = ET.fromstring(z.read("docProps/app.xml"))
        application = app.find("{http://schemas.openxmlformats.org/officeDocument/2006/"
                               "extended-properties}Application")
        check(application is not None and application.text == "KVOR",
              f"application {None if application is None else application.text!r}")

    wb = load_workbook(xlsx_path)
    check(wb.sheetnames == ["Лист1"], f"sheet names {wb.sheetnames}")
    # The default style: a spreadsheet program lays out column widths and the page with it.
    normal = wb._named_styles["Normal"].font
    check(normal.name == "Arial" and normal.sz == 10 and normal.scheme is None,
          f"default font {normal.name} {normal.sz} {normal.scheme}")
    ws = wb[wb.sheetnames[0]]
    # Before any look-up below creates cells of its own.
    check(ws.max_row == last + 11 and ws.max_column == 7,
          f"content reaches {ws.max_row} rows, {ws.max_column} columns")
    check(wb.properties.creator == "NVAuthor", f"author {wb.properties.creator!r}")

    ps = ws.page_setup
    check(ps.orientation == "landscape", f"orientation {ps.orientation}")
    check(int(ps.scale or 0) == 75, f"zoom {ps.scale}")
    check(int(ps.paperSize or 0) == 9, f"paper {ps.paperSize}")
    check(float(ws.page_margins.right) == 0, f"right margin {ws.page_margins.right}")

    merges = {str(r) for r in ws.merged_cells.ranges}
    expected_merges = {"A1:G1", "A2:G2", "A4:A5", "B4:B5", "G4:G5", "C4:D4", "E4:F4",
                       f"A{last + 4}:G{last + 4}"}
    check(merges == expected_merges, f"merges {sorted(merges)}")

    # Title lines.
    a1, a2 = ws["A1"], ws["A2"]
    check(a1.value == "СПРАВКА", f"A1 {a1.value!r}")
    check(a1.font.b and a1.font.sz == 12 and a1.font.u == "single", "A1 font")
    check(a1.alignment.horizontal == "center" and a1.alignment.vertical == "center"
          and a1.alignment.wrap_text, "A1 alignment")
    check(a2.value == "за структурата и размера на дълга на община Пловдив към 03 / 2004",
          f"A2 {a2.value!r}")
    check(a2.font.b and a2.font.sz == 12 and not a2.font.u, "A2 font")

    # Heading: two levels, then the column numbers.
    heading = {"A4": structure.get("name"), "B4": columns["1"], "C4": columns["2"],
               "E4": columns["3"], "G4": columns["4"], "C5": columns["5"], "D5": columns["6"],
               "E5": columns["7"], "F5": columns["8"]}
    for ref, text in heading.items():
        check(ws[ref].value == text, f"{ref} {ws[ref].value!r} instead of {text!r}")
    for ref in ("A5", "B5", "D4", "F4", "G5"):
        check(ws[ref].value is None, f"{ref} should be empty: {ws[ref].value!r}")
    # The hidden cells of a merged block show the first cell's format; a reader gives them none.
    for i, col in enumerate(COLS):
        head, sub, numbers = ws[f"{col}4"], ws[f"{col}5"], ws[f"{col}6"]
        shown = [c for c in (head, sub, numbers) if not isinstance(c, MergedCell)]
        if head in shown:
            check(head.font.b and head.font.sz == 11, f"{col}4 font")
            check(fill_of(head) == GREY, f"{col}4 not grey")
        if sub in shown:
            check(not sub.font.b and sub.font.sz == 11, f"{col}5 font")
            check(fill_of(sub) == GREY, f"{col}5 not grey")
        check(not numbers.font.b and numbers.font.sz == 11, f"{col}6 font")
        check(numbers.value == i + 1, f"{col}6 {numbers.value!r}")
        for cell in shown:
            check(cell.alignment.horizontal == "center" and cell.alignment.vertical == "center"
                  and cell.alignment.wrap_text, f"{cell.coordinate} alignment")
        check(fill_of(numbers) is None, f"{col}6 is filled")

    # The table: borders everywhere inside, none below it.
    for r in range(4, last + 1):
        for col in COLS:
            cell = ws[f"{col}{r}"]
            if not isinstance(cell, MergedCell):
                check(has_all_borders(cell), f"{col}{r} borders")
    for col in COLS:
        check(has_no_border(ws[f"{col}{last + 1}"]), f"{col}{last + 1} has a border")

    # Data rows.
    for n, s in enumerate(rows):
        r = n + 7
        grey = s.get("id") in ("2", "3", "4")
        for col in COLS:
            cell = ws[f"{col}{r}"]
            check((fill_of(cell) == GREY) == grey, f"{col}{r} grey should be {grey}")
        check(ws[f"A{r}"].value == s.get("name"), f"A{r} caption {ws[f'A{r}'].value!r}")
        check(ws[f"A{r}"].alignment.horizontal in (None, "general"), f"A{r} alignment")
        for col in AMOUNT_COLS:
            cell = ws[f"{col}{r}"]
            check(isinstance(cell.value, (int, float)), f"{col}{r} not a number: {cell.value!r}")
            check(cell.number_format == "0.00", f"{col}{r} format {cell.number_format}")
            check(cell.alignment.horizontal == "right", f"{col}{r} alignment")
        for col, colid in CODE_COLS.items():
            cell = ws[f"{col}{r}"]
            check(cell.value == codes.get((s.get("id"), colid)), f"{col}{r} code {cell.value!r}")
            check(cell.alignment.horizontal == "center", f"{col}{r} alignment")
        values = [ws[f"{col}{r}"].value for col in AMOUNT_COLS]
        if all(isinstance(v, (int, float)) for v in values):
            b, d, f, g = values
            check(abs(b - n * 1000.5) < 1e-9 and d == n and f == 0.25, f"row {r} amounts {values}")
            check(abs(g - (b + d - f)) < 1e-9, f"row {r} closing {g}")

    # Footnote and signature lines.
    note, footnote = ws[f"A{last + 3}"], ws[f"A{last + 4}"]
    check(note.value == "Забележка:" and note.font.u == "single", f"A{last + 3} {note.value!r}")
    check(isinstance(footnote.value, str) and footnote.value.startswith(FOOTNOTE_START)
          and footnote.alignment.wrap_text, f"A{last + 4} footnote")
    for ref, text in ((f"A{last + 10}", "Дата:..................."),
                      (f"E{last + 10}", "Изготвил:"),
                      (f"F{last + 11}", "/имена и длъжност на лицето/")):
        check(ws[ref].value == text and ws[ref].font.b, f"{ref} {ws[ref].value!r}")

    # Sizes and the active cell.
    for col, width in WIDTHS.items():
        actual = ws.column_dimensions[col].width
        check(abs(actual - width) < 1, f"column {col} width {actual}")
    check(abs(ws.row_dimensions[4].height - 2.5 * 12.75) < 1e-6,
          f"row 4 height {ws.row_dimensions[4].height}")
    selection = ws.sheet_view.selection
    check(not selection or selection[0].activeCell in (None, "A1"), "active cell not A1")

    for f in failures:
        print("FAIL:", f)
    print(f"{len(failures)} failure(s) in {xlsx_path}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
