#!/usr/bin/python3
"""Reads a kvor-summary workbook back with openpyxl, independently of the program, and compares it
with what the test expects.

Usage: check_summary.py <summary.xlsx> <expected.json> <Structure.xml>

expected.json: "sums" (per form row: opening, increases, decreases, closing in stotinki),
"statuses" ([EBK, status in words] per municipality, in register order), "findings" (how many),
"summed" (how many reports the sums are of).
"""

import json
import sys
import xml.etree.ElementTree as ET
import zipfile

from openpyxl import load_workbook

SHEETS = ["Общини", "Сбор", "Констатации"]
FIRST_FORM_ROW = 7  # the printed form's first report row
FORM_AMOUNT_COLS = "BDFG"

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def stotinki(value):
    return None if value is None else round(value * 100)


def main():
    xlsx_path, expected_path, structure_path = sys.argv[1:4]
    with open(expected_path, encoding="utf-8") as f:
        expected = json.load(f)
    captions = [s.get("name") for s in ET.parse(structure_path).getroot().find("structure").iter("str")]
    wb = load_workbook(xlsx_path)
    check(wb.sheetnames == SHEETS, f"sheets {wb.sheetnames}")
    normal = wb._named_styles["Normal"].font
    check(normal.name == "Arial" and normal.sz == 10, f"Normal style {normal.name} {normal.sz}")
    with zipfile.ZipFile(xlsx_path) as z:
        check(b"<Application>KVOR</Application>" in z.read("docProps/app.xml"), "application")

    # The sums, laid out as the printed form: caption in A, amounts as numbers in B, D, F, G.
    form = wb["Сбор"]
    check(f"сбор от {expected['summed']} справки" in str(form["A2"].value), f"title {form['A2'].value}")
    for n, row in enumerate(expected["sums"]):
        r = FIRST_FORM_ROW + n
        check(form[f"A{r}"].value.strip() == captions[n].strip(), f"caption of row {r}")
        for col, want in zip(FORM_AMOUNT_COLS, row):
            cell = form[f"{col}{r}"]
            check(isinstance(cell.value, (int, float)) and stotinki(cell.value) == want,
                  f"{col}{r}: {cell.value!r}, expected {want / 100:.2f}")
            check(cell.number_format == "0.00", f"{col}{r} format {cell.number_format}")

    # One row per municipality: its status and, for an intact report, the first total's amounts.
    towns = wb["Общини"]
    rows = list(towns.iter_rows(min_row=2, values_only=True))
    check([[r[0], r[3]] for r in rows] == expected["statuses"], f"statuses {rows}")
    for r in towns.iter_rows(min_row=2):
        for cell in r[4:8]:
            check(cell.value is None or (isinstance(cell.value, (int, float))
                                         and cell.number_format == "0.00"), f"{cell.coordinate}")
    sums_of_firsts = [sum(stotinki(r[4 + c]) or 0 for r in rows if r[3] in ("наред", "с несъответствия"))
                      for c in range(4)]
    check(sums_of_firsts == expected["sums"][0], f"first totals {sums_of_firsts}")

    findings = wb["Констатации"]
    check(findings.max_row - 1 == expected["findings"], f"findings {findings.max_row - 1}")
    for r in findings.iter_rows(min_row=2, values_only=True):
        check(bool(r[7]), f"a finding without its meaning: {r}")

    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
