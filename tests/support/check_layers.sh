#!/usr/bin/env bash
# Every #include runs down the layers, never up or across, and the table
# below is the graph the code has: an include it does not list fails, and
# so does an edge it lists that no include uses, so that the table never
# allows more than the code needs. docs/ARCHITECTURE.md draws it. Each
# program under tools/ is a unit of its own: no program includes another's
# files. Tests, benchmarks and fuzzers may use anything.
set -euo pipefail
root=$1
declare -A uses=(
  [base]=""
  [model]="base"
  [protocol]="base model"
  [paths]="base model"
  [ui]="base model"
  [hardcopy]="base model ui"
  [graphics]="base model ui hardcopy"
  [table]="base model ui hardcopy"
  [figures]="base model ui graphics table"
  [study]="base model protocol"
  [rrunner]="base study"
  [workbook]="base protocol study"
  [survival]="base protocol study rrunner"
  [provenance]="base study"
  [writeup]="base model protocol study rrunner survival provenance"
  [report]="base model protocol paths ui graphics figures study rrunner survival provenance writeup"
  [cli]="base model"
  [studyrun]="base model protocol study rrunner survival provenance writeup workbook report cli"
  [app]="base model paths ui graphics table"
  [tools/export]="base model paths table cli"
  [tools/figure]="base model paths figures cli"
  [tools/study]="base protocol study rrunner cli studyrun"
  [tools/study_window]="base paths ui protocol study rrunner survival report studyrun writeup"
)
unchecked=" tests bench fuzz build "

# The unit a path belongs to, into $unit: its first folder, or for tools/
# its first two (set, not echoed: a subshell per include is slow).
unit_of() {
  local first=${1%%/*} rest=${1#*/}
  if [ "$first" = tools ] && [ "$rest" != "$1" ]; then unit="tools/${rest%%/*}"; else unit=$first; fi
}

failures=0
declare -A used=()
cd "$root"
while IFS= read -r file; do
  unit_of "$file"
  folder=$unit
  case $unchecked in *" ${folder%%/*} "*) continue ;; esac
  if [ -z "${uses[$folder]+set}" ]; then
    echo "FAILED: $folder/ has no place among the layers"
    uses[$folder]="" # said once
    failures=$((failures + 1))
    continue
  fi
  while IFS=: read -r line included; do
    [ "${included%%/*}" = "$included" ] && continue # beside the file
    unit_of "$included"
    target=$unit
    [ "$target" = "$folder" ] && continue
    used["$folder $target"]=1
    case " ${uses[$folder]} " in *" $target "*) continue ;; esac
    echo "FAILED: $file:$line includes \"$included\": $folder/ does not use $target/"
    failures=$((failures + 1))
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
             sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
done < <(find . -mindepth 1 -maxdepth 1 -type d ! -name '.*' -printf '%P\n' | sort |
           while read -r top; do
             case $unchecked in *" $top "*) continue ;; esac
             find "$top" -type f \( -name '*.cpp' -o -name '*.h' \)
           done | sort)
for folder in "${!uses[@]}"; do
  for target in ${uses[$folder]}; do
    [ -n "${used["$folder $target"]+set}" ] && continue
    echo "FAILED: $folder/ may use $target/, but no file of it does: take the edge out of $0"
    failures=$((failures + 1))
  done
done
[ "$failures" -eq 0 ] || exit 1
echo "layers: 1 passed, 0 failed"
