"""sinkview-study's workbook opened by LibreOffice and saved back as CSV,
sheet by sheet: every value must be the CSV file's, numbers as numbers,
dates as dates, empty as empty."""
import csv
import datetime
import math
import pathlib
import shutil
import subprocess
import sys
import tempfile

program, studies = sys.argv[1], sys.argv[2:]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def same_number(a, b):
    """The tolerances the comparison allows: LibreOffice shows a number of
    the General format with up to 15 significant digits, and a small one
    (a p-value of 1e-8) with up to 20 decimals."""
    return math.isclose(float(a), float(b), rel_tol=1e-14, abs_tol=5e-21)


def kind(field):
    try:
        if math.isfinite(float(field)):
            return "number"
    except ValueError:
        pass
    try:
        datetime.date.fromisoformat(field)
        return "date" if len(field) == 10 else "text"
    except ValueError:
        return "text"


def same(csv_field, sheet_field):
    if csv_field == "" or sheet_field == "":
        return csv_field == sheet_field
    if kind(csv_field) == "number" and kind(sheet_field) == "number":
        return same_number(csv_field, sheet_field)
    if kind(csv_field) == "date":
        return datetime.date.fromisoformat(csv_field) == datetime.date.fromisoformat(sheet_field)
    return csv_field == sheet_field


def rows(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.reader(f, strict=True))


soffice = shutil.which("soffice")
if soffice is None:
    print("FAILED: soffice is missing: scripts/install-deps.sh test installs libreoffice-calc-nogui")
    sys.exit(1)

with tempfile.TemporaryDirectory() as scratch:
    scratch = pathlib.Path(scratch)
    for n, study in enumerate(studies):
        out = scratch / f"run{n}"
        out.mkdir()
        subprocess.run([program, "--output-dir", out, "--workbook", out / "study.xlsx", study],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env={"LC_ALL": "de_DE.UTF-8"})
        back = scratch / f"back{n}"
        # Every sheet (the last -1), cell contents as shown, UTF-8 (76), comma.
        subprocess.run([soffice, f"-env:UserInstallation=file://{scratch}/profile", "--headless",
                        "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,"
                        "false,-1", out / "study.xlsx", "--outdir", back],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=100)
        # The model's files are sheets like the others; the dictionary is on the Study sheet.
        tables = sorted(p.name for p in out.glob("*.csv") if p.name != "dictionary.csv")
        check(len(tables) >= 4, f"{study}: the CSV files")
        check(n > 0 or "model.csv" in tables, f"{study}: the model's files")
        for name in tables:
            sheet = name[:-4].replace("_", " ").capitalize()
            want, got = rows(out / name), rows(back / f"study-{sheet}.csv")
            check(len(want) == len(got), f"{study}: {sheet}: {len(got)} rows, not {len(want)}")
            for r, (w, g) in enumerate(zip(want, got)):
                g = g + [""] * (len(w) - len(g))  # trailing empty cells are not exported
                for c, (a, b) in enumerate(zip(w, g)):
                    check(same(a, b), f"{study}: {sheet} row {r + 1} column {c + 1}: '{b}', not '{a}'")
        study_rows = rows(back / "study-Study.csv")
        study_sheet = [row[0] for row in study_rows if row]
        check(all(row in study_rows for row in rows(out / "dictionary.csv")), f"{study}: the dictionary")
        protocol = out / "protocol-used.toml"
        if protocol.exists():
            lines = protocol.read_text(encoding="utf-8").splitlines()
            check(all(line in study_sheet for line in lines if line), f"{study}: the protocol on the Study sheet")
        else:
            check("Settings" in study_sheet, f"{study}: the settings on the Study sheet")

for failure in failures[:20]:
    print("FAILED:", failure)
print(f"{0 if failures else 1} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
