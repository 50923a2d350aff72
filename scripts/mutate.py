#!/usr/bin/env python3
"""Mutation check: applies the small faults of scripts/mutants.txt one at a
time, builds incrementally in build/mutate, runs the suite and records whether
it catches each fault. The report goes to build/mutate/report.txt.

  scripts/mutate.py            every mutant
  scripts/mutate.py --only ID  only these mutants
  scripts/mutate.py --check    only check the list against the sources
  scripts/mutate.py --killed-in OLD-REPORT
                               only the mutants an earlier run killed, to show
                               that a change to the tests kills them still
  scripts/mutate.py --killers  the whole suite for each mutant, naming every
                               test that fails: which tests guard which fault
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
LIST = ROOT / "scripts" / "mutants.txt"
BUILD = ROOT / "build" / "mutate"
REPORT = BUILD / "report.txt"
# A mutant that makes a test hang is caught by the timeout.
TEST_TIMEOUT = 60
# The install and package checks copy and package the programs; they test
# none of the core, and the package alone takes a quarter of a minute.
EXCLUDED_TESTS = "^(InstallIntoAFreshPrefix|InstalledPackageOpensDataFiles)$"
KEYS = ("id", "file", "from", "to", "why")


class ListError(Exception):
    pass


def parse_list(path):
    """Blocks of `key: value` lines separated by blank lines; a line starting
    with `|` continues the value before it on a new line; `#` starts a
    comment line."""
    mutants, block, last = [], {}, None

    def finish(line_no):
        if not block:
            return
        missing = [k for k in KEYS if k not in block]
        if missing:
            raise ListError(f"{path}:{line_no}: mutant {block.get('id', '?')} lacks {', '.join(missing)}")
        mutants.append(dict(block))
        block.clear()

    for line_no, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            finish(line_no)
            last = None
            continue
        if line.startswith("|"):
            if last not in ("from", "to"):
                raise ListError(f"{path}:{line_no}: a continuation line belongs after from: or to:")
            block[last] += "\n" + line[1:]
            continue
        key, sep, value = line.partition(":")
        if not sep or key not in KEYS or key in block:
            raise ListError(f"{path}:{line_no}: expected one of {', '.join(KEYS)} once per mutant")
        block[key] = value[1:] if value.startswith(" ") else value
        last = key
    finish("end")

    seen = set()
    for m in mutants:
        if m["id"] in seen:
            raise ListError(f"{path}: the id {m['id']} is used twice")
        seen.add(m["id"])
    return mutants


def occurrences(mutant):
    source = ROOT / mutant["file"]
    if not source.is_file():
        return -1
    return source.read_text(encoding="utf-8").count(mutant["from"])


def check(mutants):
    problems = []
    for m in mutants:
        n = occurrences(m)
        if n == -1:
            problems.append(f"{m['id']}: {m['file']} does not exist")
        elif n != 1:
            problems.append(f"{m['id']}: the original text occurs {n} times in {m['file']}, not once")
        elif m["from"] == m["to"]:
            problems.append(f"{m['id']}: the replacement is the original text")
    return problems


def run(command, log, timeout=None):
    with open(log, "a", encoding="utf-8") as out:
        out.write(f"\n$ {' '.join(command)}\n")
        out.flush()
        return subprocess.run(command, cwd=ROOT, stdout=out, stderr=subprocess.STDOUT, timeout=timeout).returncode


def build(log):
    return run(["nice", "-n", "19", "cmake", "--build", str(BUILD), "-j", "2"], log) == 0


def suite(log, stop_early=True):
    command = ["nice", "-n", "19", "scripts/with-print-system.sh", "scripts/with-x-server.sh", "ctest",
               "--test-dir", str(BUILD), "-j", "2", "--timeout", str(TEST_TIMEOUT), "-E", EXCLUDED_TESTS]
    (BUILD / "Testing" / "Temporary" / "LastTestsFailed.log").unlink(missing_ok=True)
    # One failing test kills the mutant; the rest need not run.
    if stop_early:
        command.append("--stop-on-failure")
    return run(command, log) == 0


def failed_tests():
    """The tests ctest's last run saw fail."""
    path = BUILD / "Testing" / "Temporary" / "LastTestsFailed.log"
    if not path.exists():
        return []
    return sorted(line.split(":", 1)[1] for line in path.read_text(encoding="utf-8").splitlines() if ":" in line)


def write_report(results, total):
    counts = {}
    lines = []
    for m, status, seconds, killers in results:
        counts[status] = counts.get(status, 0) + 1
        by = f"  [{len(killers)}: {', '.join(killers)}]" if killers else ""
        lines.append(f"{m['id']:<28} {status:<14} {seconds:4.0f} s  {m['file']}: {m['why']}{by}")
    killed, survived = counts.get("killed", 0), counts.get("survived", 0)
    tried = killed + survived
    summary = [f"mutants: {len(results)} of {total} run"] + [
        f"{s}: {counts.get(s, 0)}" for s in ("killed", "survived", "not applicable", "build error")]
    if tried:
        summary.append(f"killed of those built: {killed}/{tried} = {100.0 * killed / tried:.1f} %")
    REPORT.write_text("\n".join(lines + [""] + summary) + "\n", encoding="utf-8")
    return summary


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--check", action="store_true", help="check the list only")
    parser.add_argument("--only", nargs="+", metavar="ID", help="run only these mutants")
    parser.add_argument("--killed-in", type=Path, metavar="REPORT", help="run the mutants killed in REPORT")
    parser.add_argument("--killers", action="store_true", help="run the whole suite and name the failing tests")
    args = parser.parse_args()

    try:
        mutants = parse_list(LIST)
    except ListError as e:
        print(e, file=sys.stderr)
        return 2
    if args.only:
        unknown = set(args.only) - {m["id"] for m in mutants}
        if unknown:
            print(f"unknown mutants: {', '.join(sorted(unknown))}", file=sys.stderr)
            return 2
        mutants = [m for m in mutants if m["id"] in args.only]
    if args.killed_in:
        rows = [line.split() for line in args.killed_in.read_text(encoding="utf-8").splitlines()]
        killed = {row[0] for row in rows if len(row) > 1 and row[1] == "killed"}
        mutants = [m for m in mutants if m["id"] in killed]
    problems = check(mutants)
    if args.check:
        for p in problems:
            print(p, file=sys.stderr)
        print(f"{len(mutants)} mutants, {len(problems)} problems")
        return 1 if problems else 0

    # A kill from the shell is handled like Ctrl-C: the file is restored.
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    BUILD.mkdir(parents=True, exist_ok=True)
    log = BUILD / "mutate.log"
    log.write_text("", encoding="utf-8")
    env_runtime = os.environ.get("XDG_RUNTIME_DIR")
    if not env_runtime:
        runtime = BUILD / "runtime"
        runtime.mkdir(mode=0o700, exist_ok=True)
        os.environ["XDG_RUNTIME_DIR"] = str(runtime)

    # Each mutant relinks every program and test: lld where there is one, and
    # no manual pages, which run the programs.
    configure = ["cmake", "-S", ".", "-B", str(BUILD), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
                 "-DHELP2MAN=HELP2MAN-NOTFOUND"]
    if shutil.which("ld.lld"):
        configure.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
    if run(configure, log) != 0 or not build(log) or not suite(log, stop_early=False):
        print(f"the unchanged sources do not build or pass; see {log}", file=sys.stderr)
        return 1

    results = []
    for number, m in enumerate(mutants, 1):
        started = time.monotonic()
        killers = []
        source = ROOT / m["file"]
        if occurrences(m) != 1:
            status = "not applicable"
        else:
            original = source.read_text(encoding="utf-8")
            try:
                source.write_text(original.replace(m["from"], m["to"], 1), encoding="utf-8")
                with open(log, "a", encoding="utf-8") as out:
                    out.write(f"\n==== {m['id']}: {m['why']}\n")
                if not build(log):
                    status = "build error"
                else:
                    status = "survived" if suite(log, stop_early=not args.killers) else "killed"
                    killers = failed_tests() if args.killers and status == "killed" else []
            finally:
                source.write_text(original, encoding="utf-8")
        seconds = time.monotonic() - started
        results.append((m, status, seconds, killers))
        print(f"[{number}/{len(mutants)}] {m['id']}: {status} ({seconds:.0f} s)", flush=True)
        write_report(results, len(mutants))

    # Leave the build folder built from the real sources.
    build(log)
    print("\n".join(write_report(results, len(mutants))))
    print(f"report: {REPORT}")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        print("interrupted; the sources are restored", file=sys.stderr)
        sys.exit(130)
