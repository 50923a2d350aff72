#!/usr/bin/env bash
# A reader who follows the README meets the folder the programs are built
# into before the first command that runs one of them from the search path.
set -euo pipefail
readme=$1/README.md
first_line() { grep -n -m1 -E "$1" "$readme" | cut -d: -f1 || true; }
said=$(first_line 'build/release/app/')
[ -n "$said" ] || { echo "FAILED: the README never says where the programs are"; exit 1; }
for program in sinkview-export sinkview-study sinkview-study-window; do
  used=$(first_line "^    $program ")
  [ -z "$used" ] || [ "$said" -lt "$used" ] ||
    { echo "FAILED: README line $used runs $program before line $said says where it is"; exit 1; }
done
echo "README programs: 1 passed, 0 failed"
