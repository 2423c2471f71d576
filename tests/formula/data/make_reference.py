#!/usr/bin/env python3
"""Computes the reference values of the formula tests with LibreOffice (run once; the output
is checked in). Usage: make_reference.py [soffice]

Writes, beside this script:
  functions_reference.tsv  formula <TAB> the value LibreOffice 7.4 shows for it
  functions_lo.xls         the same sheet written by LibreOffice as an Excel 97-2000 workbook
  functions_lo_read.tsv    for each formula row of that workbook, as LibreOffice reads it back:
                           the formula text (in its own syntax) <TAB> the value it shows
The data sheet is DATA below; each formula of formulas.txt sits in column F of its own row.
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
# Columns A-E, rows 1-13: numbers, cash flows, text, sorted numbers, mixed values; rows 12-13
# a sorted horizontal table; rows 15-19 a table with headings and rows 21-23 criteria for the
# database functions.
DATA = [
    ["1", "-1000", "apple", "10", "5"],
    ["2", "300", "banana", "20", "x"],
    ["3", "400", "cherry", "30", "TRUE"],
    ["4", "500", "apple", "40", ""],
    ["5", "200", "date", "50", "-3"],
    ["6", "-50", "fig", "60", "2.5"],
    ["7", "100", "grape", "70", "0"],
    ["8", "250", "apple", "80", "10"],
    ["9", "125", "kiwi", "90", ""],
    ["10", "75", "lemon", "100", "7"],
    ["", "", "", "", ""],
    ["10", "20", "30", "40", ""],
    ["a", "b", "c", "d", ""],
    ["", "", "", "", ""],
    ["Name", "Qty", "Price", "Region", ""],
    ["apple", "10", "1.5", "north", ""],
    ["pear", "5", "2", "south", ""],
    ["apple", "7", "1.25", "south", ""],
    ["plum", "12", "3", "north", ""],
    ["", "", "", "", ""],
    ["Name", "Region", "Qty", "", "Qty"],
    ["apple", "", ">6", "", ">11"],
    ["", "north", "", "", ""],
]
IMPORT = "Text - txt - csv (StarCalc):9,0,76,1,,1033,false,true,false,false,false,-1,true"
EXPORT = "csv:Text - txt - csv (StarCalc):9,0,76,1,,1033,false,true,false,false,false,-1"
EXPORT_FORMULAS = "csv:Text - txt - csv (StarCalc):9,0,76,1,,1033,false,true,false,true,false,-1"


def convert(soffice, tmp, src, target, infilter=None):
    """Runs LibreOffice headless on src; returns the path of what it wrote."""
    out = os.path.join(tmp, "out")
    shutil.rmtree(out, ignore_errors=True)
    # A profile of its own, so that another LibreOffice running meanwhile does not clash.
    cmd = [soffice, "-env:UserInstallation=file://" + tmp + "/profile", "--headless"]
    if infilter:
        cmd.append("--infilter=" + infilter)
    subprocess.run(cmd + ["--convert-to", target, "--outdir", out, src], check=True,
                   capture_output=True)
    return os.path.join(out, os.listdir(out)[0])


def read_tsv(path):
    with open(path, encoding="utf-8") as f:
        return [l.rstrip("\n").split("\t") for l in f]


def formulas():
    with open(os.path.join(HERE, "formulas.txt"), encoding="utf-8") as f:
        return [l.rstrip("\n") for l in f if l.strip() and not l.startswith("#")]


def sheet_text(forms):
    rows = max(len(DATA), len(forms))
    out = []
    for r in range(rows):
        data = DATA[r] if r < len(DATA) else [""] * 5
        form = "=" + forms[r] if r < len(forms) else ""
        out.append("\t".join(data + [form]))
    return "\n".join(out) + "\n"


def main():
    soffice = sys.argv[1] if len(sys.argv) > 1 else "soffice"
    forms = formulas()
    tmp = tempfile.mkdtemp()
    try:
        src = os.path.join(tmp, "sheet.txt")
        with open(src, "w", encoding="utf-8") as f:
            f.write(sheet_text(forms))
        shown = read_tsv(convert(soffice, tmp, src, EXPORT, IMPORT))
        xls = os.path.join(tmp, "sheet.xls")
        shutil.copy(convert(soffice, tmp, src, "xls", IMPORT), xls)
        with open(os.path.join(HERE, "functions_reference.tsv"), "w", encoding="utf-8") as f:
            f.write("# formula\tvalue shown by LibreOffice 7.4 (make_reference.py)\n")
            for i, form in enumerate(forms):
                f.write(form + "\t" + shown[i][5] + "\n")
        shutil.copy(xls, os.path.join(HERE, "functions_lo.xls"))
        values = read_tsv(convert(soffice, tmp, xls, EXPORT))
        texts = read_tsv(convert(soffice, tmp, xls, EXPORT_FORMULAS))
        with open(os.path.join(HERE, "functions_lo_read.tsv"), "w", encoding="utf-8") as f:
            f.write("# LibreOffice 7.4 reading functions_lo.xls: formula\tvalue (make_reference.py)\n")
            for i in range(len(forms)):
                f.write(texts[i][5] + "\t" + values[i][5] + "\n")
    finally:
        shutil.rmtree(tmp)


if __name__ == "__main__":
    main()
