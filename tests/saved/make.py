#!/usr/bin/python3
"""Makes the tables of this folder once; they are test data, not made in CI.

    /usr/bin/python3 tests/saved/make.py build/linux/bin/ryn-host

Needs LibreOffice 7.4 (Debian 12: libreoffice-calc-nogui) and pandas 1.5
(python3-pandas). Each table our command wrote is saved back as a spreadsheet
user or a pandas script would, and the next append must either add one run
with every old cell unchanged or refuse (tests/csv_saved_test.cpp).

Names: KIND-LAYOUT-LOCALE.HOW.csv
  KIND    CSV, COMPACT or HISTORY (the append mode that wrote it: RYN_CSV_[KIND_]APPEND)
  LAYOUT  rows or cols (TRANSPOSE_DATA=ON)
  LOCALE  de (separator ';', decimal ',') or en (separator ',', decimal '.')
  HOW     ours             as our command wrote it
          lo-default       LibreOffice, same separator, default quoting
          lo-quoted        LibreOffice, same separator, all text cells quoted
          lo-other         LibreOffice, the other separator, default quoting
          lo-other-quoted  LibreOffice, the other separator, all text cells quoted
          lo-locale        LibreOffice in the other locale, same separator
          pd-default       pandas read_csv / to_csv, default quoting
          pd-quoted        pandas, quoting=csv.QUOTE_ALL
          pd-bom           pandas, encoding utf-8-sig ("CSV UTF-8": a byte-order mark first)
          pd-bom-quoted    pandas, utf-8-sig and QUOTE_ALL
LibreOffice 7.4 writes no byte-order mark in its CSV filter; pandas makes those.

outcomes.txt says of each table whether the next append keeps every old cell
("kept") or is refused with the file unchanged ("refused": read in the form
found for it, a row of headers would read as transposed, or the configured
separator splits a line apart so that the table does not read). It is written
by hand: a table added here needs its line there.
"""
import csv
import os
import shutil
import subprocess
import sys
import tempfile

import pandas as pd

HERE = os.path.dirname(os.path.abspath(__file__))
LOCALES = {"de": (";", ",", "de_DE.UTF-8", 1031), "en": (",", ".", "en_US.UTF-8", 1033)}
MODES = {"CSV": "RYN_CSV_APPEND", "COMPACT": "RYN_CSV_COMPACT_APPEND", "HISTORY": "RYN_CSV_HISTORY_APPEND"}
# A name with a comma: quoted in a comma file, and by a spreadsheet that saves with commas.
EXTRA = "actual = 20.0042\nnominal = 20\nupper_tol = 0.01\nresolution = 0.0001\nunit = 1\n" \
        "measured = 2024-03-06 08:30:00\n"


def ours(host, work, kind, layout, locale):
    sep, dec = LOCALES[locale][:2]
    env = os.path.join(work, "env")
    shutil.rmtree(env, ignore_errors=True)
    shutil.copytree(os.path.join(HERE, "..", "env"), env)
    with open(os.path.join(env, "store", "Bore, top.fea"), "w") as f:
        f.write(EXTRA)
    args = ["MODE=" + MODES[kind], 'SCHEME="t.csv"', 'FEATURES="a.fea", "Bore, top.fea", "holes.lst", "c.fea"',
            'VALUE_SEPARATOR="%s"' % sep, 'DECIMAL_SEPARATOR="%s"' % dec]
    if layout == "cols":
        args.append("TRANSPOSE_DATA=ON")
    for run, actual in enumerate(["12.5031", "12.4987", "12.5"]):
        with open(os.path.join(env, "store", "a.fea")) as f:
            text = f.read()
        with open(os.path.join(env, "store", "a.fea"), "w") as f:
            f.write("\n".join("actual = " + actual if l.startswith("actual") else l for l in text.split("\n")))
        subprocess.run([host, "--env", env, "--now", "2024-03-07 14:05:0%d" % run, "exec"] + args, check=True)
    with open(os.path.join(env, "export", "t.csv"), "rb") as f:
        return f.read()


def libreoffice(work, source, sep, out_sep, quoted, locale):
    lang, language = LOCALES[locale][2:]
    shutil.rmtree(os.path.join(work, "lo"), ignore_errors=True)
    # Opened as a user opens it (the file's separator, Windows-1252), saved as UTF-8.
    subprocess.run(["soffice", "--headless", "--infilter=CSV:%d,34,1,1,,%d" % (ord(sep), language),
                    "--convert-to", "csv:Text - txt - csv (StarCalc):%d,34,76,1,,%d,%s,true,true" %
                    (ord(out_sep), language, "true" if quoted else "false"),
                    "--outdir", os.path.join(work, "lo"), source],
                   check=True, env=dict(os.environ, LANG=lang, LC_ALL=lang), capture_output=True)
    with open(os.path.join(work, "lo", os.path.basename(source)), "rb") as f:
        return f.read()


def pandas(source, sep, dec, transposed, quoted, bom):
    header = None if transposed else "infer"
    table = pd.read_csv(source, sep=sep, decimal=dec, encoding="cp1252", header=header)
    out = source + ".pd"
    table.to_csv(out, sep=sep, decimal=dec, index=False, header=not transposed,
                 quoting=csv.QUOTE_ALL if quoted else csv.QUOTE_MINIMAL, encoding="utf-8-sig" if bom else "cp1252")
    with open(out, "rb") as f:
        return f.read()


def main():
    host = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        for kind in MODES:
            for layout in ("rows", "cols"):
                for locale, other in (("de", "en"), ("en", "de")):
                    sep, dec = LOCALES[locale][:2]
                    other_sep = LOCALES[other][0]
                    stem = "%s-%s-%s" % (kind, layout, locale)
                    source = os.path.join(work, stem + ".csv")
                    saved = {"ours": ours(host, work, kind, layout, locale)}
                    with open(source, "wb") as f:
                        f.write(saved["ours"])
                    saved["lo-default"] = libreoffice(work, source, sep, sep, False, locale)
                    saved["lo-quoted"] = libreoffice(work, source, sep, sep, True, locale)
                    saved["lo-other"] = libreoffice(work, source, sep, other_sep, False, locale)
                    saved["lo-other-quoted"] = libreoffice(work, source, sep, other_sep, True, locale)
                    saved["lo-locale"] = libreoffice(work, source, sep, sep, False, other)
                    for how, quoted, bom in (("pd-default", False, False), ("pd-quoted", True, False),
                                             ("pd-bom", False, True), ("pd-bom-quoted", True, True)):
                        saved[how] = pandas(source, sep, dec, layout == "cols", quoted, bom)
                    for how, data in saved.items():
                        with open(os.path.join(HERE, "%s.%s.csv" % (stem, how)), "wb") as f:
                            f.write(data)


if __name__ == "__main__":
    main()
