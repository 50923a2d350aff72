"""sinkview-study's CSV files read back by Python's csv module, as a
statistics package would read them: headers, quoting, UTF-8, empty fields."""
import csv
import pathlib
import subprocess
import sys
import tempfile

program, data = sys.argv[1], pathlib.Path(sys.argv[2])
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def read(folder, name):
    raw = (folder / name).read_bytes()
    check(raw.count(b"\n") == raw.count(b"\r\n"), f"{name}: a line not ended by CR LF")
    with open(folder / name, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f, strict=True))


with tempfile.TemporaryDirectory() as out:
    out = pathlib.Path(out)
    subprocess.run([program, "--output-dir", out, data / "study_cohort"],
                   check=True, stdout=subprocess.DEVNULL, env={"LC_ALL": "de_DE.UTF-8"})
    summary = read(out, "summary.csv")
    check([r["patient"] for r in summary] == ["Arnold, Jr. Anton AA-1", "Bürgi Beat BB-2", "Coray Clara CC-3"],
          "patients")
    check([r["over_threshold"] for r in summary] == ["", "yes", ""], "threshold flags")
    check(float(summary[1]["subsidence_primary_mm"]) == -3 and summary[0]["subsidence_primary_mm"] == "",
          "primary visit")
    check([r["band"] for r in summary] == ["", "unacceptable", ""], "bands of the hips")
    check(summary[1]["stem_cement_last_mm"] == "", "older format without stem/cement")

    # Every column of every file is in the dictionary, in the file's order.
    dictionary = read(out, "dictionary.csv")
    written = sorted(p.name for p in out.iterdir() if p.suffix == ".csv")  # model.csv and model_fit.csv by R
    check(sorted({r["file"] for r in dictionary}) == written, "a file the dictionary does not list")
    for name in written:
        with open(out / name, newline="", encoding="utf-8") as f:
            header = next(csv.reader(f))
        check(header == [r["column"] for r in dictionary if r["file"] == name], f"{name}: header and dictionary")

    visits = read(out, "visits.csv")
    check(len(visits) == 3 * 10, "a row per hip and visit, baseline first")
    check(all(r["subsidence_mm"] == "" for r in visits if r["status"] != "measured"), "no value without one")

    flow = read(out, "flow.csv")
    statuses = ["measured", "missed", "not_yet_due", "revised", "died", "withdrawn", "excluded", "late_baseline",
                "after_break", "incomparable"]
    check(all(sum(int(r[s]) for s in statuses) == int(r["hips"]) for r in flow), "the flow adds up")
    check(flow[0]["visit"] == "baseline", "baseline first")

    cohort = read(out, "cohort.csv")
    check(cohort[3]["sd_mm"] == cohort[3]["ci95_low_mm"] == "" and float(cohort[3]["q1_mm"]) == -3, "n = 1")

    long = read(out, "long.csv")
    check(len(long) == 10 and len(long[0]) == 39, "long rows and columns")
    check(long[6]["isolated_flag"] == "1" and long[6]["measured_shoulder_major_mm"] == "99", "isolated radiograph")
    check(long[4]["course_stem_cement_mm"] == "" and long[0]["course_stem_cement_mm"] == "0",
          "stem/cement only where read")
    check([r["segment"] for r in long[:4]] == ["1", "1", "2", "2"], "segments")
    check(long[2]["days"] == "731" and long[2]["elapsed_days"] == "730", "the study clock beside the table's")

    subprocess.run([program, "--output-dir", out, data / "study_good_and_bad"], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    rejected = read(out, "rejected.csv")
    check([r["file"] for r in rejected] == ["medial_not_a_number.vok", "no_record.vok"], "rejected files")

for failure in failures:
    print("FAILED:", failure)
print(f"{0 if failures else 1} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
