#!/usr/bin/env bash
# The programs' command lines where no display is needed: help and version
# (the manual pages are made from them) and the one-line refusal without a
# graphical session.
set -euo pipefail
programs=$1
fail() { echo "FAILED: $*"; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$programs/../CMakeCache.txt")
for program in sinkview sinkview-2002 sinkview-study-window; do
  exe=$programs/$program
  [ -x "$exe" ] || continue
  argument="FILE|FOLDER" refusal="Sinkview needs a graphical session.*sinkview-export works without one"
  [ "$program" = sinkview-study-window ] &&
    argument="FOLDER" refusal="the study window needs a graphical session.*sinkview-study works without one"
  for help in --help -h; do
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$exe" $help |
      grep -q "^Usage: .*$program \[options\] \[$argument\]" || fail "$program $help"
  done
  [ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$exe" --version)" = "$program $version" ] ||
    fail "$program --version"
  for display in "" ":99999"; do
    status=0
    env -u WAYLAND_DISPLAY DISPLAY="$display" QT_QPA_PLATFORM=xcb "$exe" >"$programs/no-display.out" 2>&1 || status=$?
    [ "$status" -eq 1 ] || fail "$program without a display ends with $status"
    [ "$(wc -l <"$programs/no-display.out")" -eq 1 ] &&
      grep -q "^$program: $refusal" "$programs/no-display.out" ||
      fail "$program without a display says: $(cat "$programs/no-display.out")"
  done
done
rm -f "$programs/no-display.out"
echo "command lines: 1 passed, 0 failed"
