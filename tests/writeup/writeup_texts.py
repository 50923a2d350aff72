"""sinkview-study's methods.md and results.md for several kinds of run
against texts read and checked once by hand, and every number of the
results found again in the run's CSV files, as a reader checking the paper
would find it. SINKVIEW_UPDATE_TEXTS=1 writes the texts anew."""
import csv
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

program, examples, data = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
expected = data / "writeup_expected"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(out, folder, *options):
    subprocess.run([program, "--output-dir", out, *options, folder], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, env={**os.environ, "LC_ALL": "de_DE.UTF-8"})


def without_versions(text):
    """The software sentence names its components, but a library's Debian
    update must not fail the texts: its versions are read as VERSION, and Qt,
    which a build without the front end does not use, is left out."""
    return re.sub(r"The analysis used [^\n]*?(?=\. The data's)",
                  lambda used: re.sub(r"\d+(\.\d+)+", "VERSION", used.group(0)).replace("Qt VERSION, ", ""), text)


def compare(out, kind):
    for name in ("methods.md", "results.md"):
        made = without_versions((out / name).read_text(encoding="utf-8"))
        golden = expected / f"{kind}_{name}"
        if os.environ.get("SINKVIEW_UPDATE_TEXTS"):
            golden.write_text(made, encoding="utf-8")
        check(golden.exists() and made == golden.read_text(encoding="utf-8"), f"{kind}: {name} differs")


# The files of the tables: a hip's own values (long.csv, visits.csv, pairs.csv)
# would match nearly any number.
TABLES = ("flow.csv", "cohort.csv", "bands.csv", "comparison.csv", "baseline.csv", "model.csv", "model_fit.csv",
          "precision.csv", "survival.csv", "survival_tests.csv")


def numbers_of_csv(out):
    """Every number of the study's tables."""
    found = []
    for path in (out / name for name in TABLES):
        if not path.exists():
            continue
        with open(path, newline="", encoding="utf-8") as f:
            for row in csv.reader(f):
                for field in row:
                    try:
                        found.append(float(field))
                    except ValueError:
                        pass
    return found


def facts(out):
    with open(out / "reporting.csv", newline="", encoding="utf-8") as f:
        return {r["item"]: r["answer"] for r in csv.DictReader(f)}


def read_back(out, visits):
    """Each number of results.md is a CSV value as the tables round it."""
    text = (out / "results.md").read_text(encoding="utf-8")
    for words in ["95 % CI", "< 0.001", *visits]:  # names and a bound, not results
        text = text.replace(words, " ")
    values = numbers_of_csv(out)
    tokens = re.findall(r"(?<![\w.])(-?\d+(?:\.(\d+))?)( %)?", text)
    check(len(tokens) > 50, f"results.md has {len(tokens)} numbers")
    for token, decimals, percent in tokens:
        d = len(decimals)
        shown = float(token)
        scales = (1, 100)  # a bound of a percent interval has its unit after the second
        if not any(float(f"{v * s:.{d}f}") == shown for v in values for s in scales):
            failures.append(f"results.md: {token}{percent} is in no CSV file")


with tempfile.TemporaryDirectory() as scratch:
    scratch = pathlib.Path(scratch)
    out = scratch / "out"
    out.mkdir()
    # Two groups with the model, repeat readings and survival: the example study.
    run(out, examples / "study")
    compare(out, "two_groups")
    with open(out / "flow.csv", newline="", encoding="utf-8") as f:
        visits = sorted({r["visit"] for r in csv.DictReader(f)}, key=len, reverse=True)
    read_back(out, visits)
    with open(out / "reporting.csv", newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
    check(all(r["answer"] and r["where"].startswith("report, section") for r in rows), "reporting.csv rows")
    check(not any(r["answer"].startswith("not available") for r in rows), "every fact answered")

    # Without R: no model, no survival, and the methods say why.
    shutil.rmtree(out)
    out.mkdir()
    run(out, examples / "study", "--no-model")
    compare(out, "without_r")
    answers = facts(out)
    check(answers["difference between the groups at 24 months"] ==
          "not available from this study: no model-based difference", "no model, no difference")
    check(answers["precision from double examinations"].startswith("27 pairs"), "precision without R")

    # One group, no patients file, no repeat readings.
    shutil.rmtree(out)
    out.mkdir()
    cohort = scratch / "cohort"
    shutil.copytree(data / "study_cohort", cohort)
    (cohort / "study.toml").write_text('cutoff = 2024-06-30\nprimary_visit = "12 months"\n', encoding="utf-8")
    run(out, cohort, "--no-model")
    compare(out, "one_group")
    text = (out / "methods.md").read_text(encoding="utf-8")
    check("Precision" not in text and "Welch" not in text and "Aalen" not in text, "no part that did not run")
    answers = facts(out)
    check(answers["difference between the groups at 12 months"] ==
          "not available from this study: the study has one group", "one group, no difference")
    check(answers["precision from double examinations"].startswith("not available"), "no repeat readings")

for failure in failures:
    print("FAILED:", failure)
print(f"{0 if failures else 1} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
