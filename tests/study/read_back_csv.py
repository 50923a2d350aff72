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
    subprocess.run([program, "--follow-up", "12,24,36", "--output-dir", out, data / "study_cohort"],
                   check=True, stdout=subprocess.DEVNULL, env={"LC_ALL": "de_DE.UTF-8"})
    summary = read(out, "summary.csv")
    check([r["patient"] for r in summary] == ["Arnold, Jr. Anton AA-1", "Bürgi Beat BB-2", "Coray Clara CC-3"],
          "patients")
    check(list(summary[0]) == ("file,patient,side,format,radiographs,first_date,last_date,observation_months,"
                               "isolated,breaks,subsidence_last_mm,subsidence_24m_mm,rate_0_24_mm_per_year,"
                               "rate_after_24_mm_per_year,stem_cement_last_mm,angle_change_last_deg,"
                               "over_threshold").split(","), "summary header")
    check([r["over_threshold"] for r in summary] == ["no", "yes", ""], "threshold flags")
    check(float(summary[1]["subsidence_24m_mm"]) == -2 and summary[2]["subsidence_24m_mm"] == "", "24 months")
    check(summary[1]["stem_cement_last_mm"] == "", "older format without stem/cement")

    cohort = read(out, "cohort.csv")
    check([(r["series"], r["follow_up_months"], r["n"]) for r in cohort] ==
          [("subsidence", "12", "3"), ("subsidence", "24", "2"), ("subsidence", "36", "2"),
           ("stem_cement", "12", "2"), ("stem_cement", "24", "1"), ("stem_cement", "36", "1")], "cohort rows")
    check(cohort[4]["sd_mm"] == cohort[4]["ci95_low_mm"] == "" and float(cohort[4]["mean_mm"]) == 0.2, "n = 1")

    long = read(out, "long.csv")
    check(len(long) == 10 and len(long[0]) == 26, "long rows and columns")
    check(long[6]["isolated_flag"] == "1" and long[6]["raw_shoulder_major_mm"] == "99", "isolated radiograph")
    check(long[4]["stem_cement_mm"] == "" and long[0]["stem_cement_mm"] == "0", "stem/cement only where read")
    check(all(float(r["months"]) >= 0 for r in long), "months are numbers")

    subprocess.run([program, "--output-dir", out, data / "study_good_and_bad"], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    rejected = read(out, "rejected.csv")
    check([r["file"] for r in rejected] == ["medial_not_a_number.vok", "no_record.vok"], "rejected files")

for failure in failures:
    print("FAILED:", failure)
print(f"{0 if failures else 1} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
