#!/usr/bin/env bash
# Makes the README's screenshots from the sample data: runs the session test
# in a private X server and keeps its pictures of the main, graphics and
# table window. The samples are copied to ~/sinkview-samples for the run, so
# the pictures show a folder as a user would have it, not a temporary one.
set -euo pipefail
cd "$(dirname "$0")/.."

study="$HOME/sinkview-samples"
if [ -e "$study" ]; then
  echo "$study exists already; move it away first (the screenshots use that name)" >&2
  exit 1
fi

# SINKVIEW_BUILD_DIR reuses a build folder of one's own.
build=${SINKVIEW_BUILD_DIR:-build/test}
scripts/install-deps.sh test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 --target session_tests sinkview-study-window sinkview-study
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
mkdir "$study"
trap 'rm -rf "$XDG_RUNTIME_DIR" "$study"' EXIT
SINKVIEW_E2E_STUDY="$study" scripts/with-x-server.sh "$build"/tests/e2e/session_tests --gtest_brief=1
cp "$build"/test-artifacts/1-main.png docs/images/main-window.png
cp "$build"/test-artifacts/2-graphics.png docs/images/graphics-window.png
cp "$build"/test-artifacts/3-table.png docs/images/table-window.png
# The study window on the example trial, from a folder of a plain name.
trial="$study/trial-study"
cp -r examples/study "$trial"
QT_QPA_PLATFORM=xcb scripts/with-x-server.sh "$build"/app/sinkview-study-window \
  --screenshot "$PWD/docs/images/study-window.png" "$trial"
"$build"/app/sinkview-study --output-dir "$XDG_RUNTIME_DIR" --figure docs/images/cohort-figure.png --figure-width 85 examples/study >/dev/null
echo "docs/images updated"
