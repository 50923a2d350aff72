#!/usr/bin/env bash
# Line and branch coverage of the code by the whole test suite, per folder and
# for the core (base, model, ui, graphics, table, hardcopy). Builds in build/coverage;
# the detailed figures per file are left in build/coverage/coverage.json.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v gcovr >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends gcovr >/dev/null
fi

build=build/coverage
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSINKVIEW_BUILD_GUI=ON -DSINKVIEW_COVERAGE=ON >/dev/null
cmake --build "$build" -j 2
# Counters of an earlier run would add up with this one.
find "$build" -name '*.gcda' -delete

export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
# The coverage is measured whether or not every test passes; a failure is
# reported at the end.
status=0
scripts/with-print-system.sh scripts/with-x-server.sh ctest --test-dir "$build" --output-on-failure -j 2 || status=$?

# Branches that gcc adds for exceptions and dead code are no decisions of
# the source.
gcovr --root . --object-directory "$build" --exclude 'tests/' --exclude 'bench/' --exclude 'fuzz/' \
  --exclude 'build/' --exclude-throw-branches --exclude-unreachable-branches \
  --json-summary-pretty --output "$build/coverage.json"

python3 - "$build/coverage.json" <<'EOF'
import json, sys
files = json.load(open(sys.argv[1]))["files"]
folders = ["base", "model", "ui", "graphics", "table", "hardcopy", "app"]
core = folders[:6]
sums = {f: [0, 0, 0, 0] for f in folders + ["core"]}
for entry in files:
    folder = entry["filename"].split("/")[0]
    if folder not in sums:
        continue
    figures = [entry["line_covered"], entry["line_total"], entry["branch_covered"], entry["branch_total"]]
    for key in [folder] + (["core"] if folder in core else []):
        sums[key] = [a + b for a, b in zip(sums[key], figures)]

def share(covered, total):
    return f"{100.0 * covered / total:5.1f} %" if total else "    - "

print(f"{'folder':<10} {'lines':>19} {'branches':>19}")
for key in folders + ["core"]:
    lc, lt, bc, bt = sums[key]
    name = key + "/" if key != "core" else "core"
    print(f"{name:<10} {share(lc, lt)} {lc:>5}/{lt:<5} {share(bc, bt)} {bc:>5}/{bt:<5}")
EOF
[ "$status" -eq 0 ] || echo "coverage.sh: some tests failed (ctest status $status)" >&2
exit "$status"
