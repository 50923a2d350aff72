#!/usr/bin/env bash
# Every #include runs down the layers, never up or across:
#   model <- protocol, paths, ui, hardcopy <- graphics, table <- study <- rrunner, figures, workbook,
#   provenance <- app, tools
# ui and the pixel work of hardcopy are core; the printing part of hardcopy
# is Qt that the windows use. Tests, benchmarks and fuzzers may use anything.
set -euo pipefail
root=$1
declare -A uses=(
  [model]=""
  [protocol]="model"
  [paths]="model"
  [ui]="model"
  [hardcopy]="model ui"
  [graphics]="model ui hardcopy"
  [table]="model ui hardcopy"
  [study]="model ui hardcopy graphics table protocol"
  [rrunner]="model protocol study"
  [figures]="model ui hardcopy graphics table study protocol rrunner"
  [workbook]="model protocol study"
  [provenance]="model protocol study"
  [app]="model paths ui hardcopy graphics table study figures tools protocol rrunner workbook provenance"
  [tools]="model paths ui hardcopy graphics table study figures protocol rrunner workbook provenance"
)
unchecked=" tests bench fuzz build "

failures=0
cd "$root"
for dir in */; do
  folder=${dir%/}
  case $unchecked in *" $folder "*) continue ;; esac
  files=$(find "$folder" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
  [ -n "$files" ] || continue
  if [ -z "${uses[$folder]+set}" ]; then
    echo "FAILED: $folder/ has no place among the layers"
    failures=$((failures + 1))
    continue
  fi
  for file in $files; do
    while IFS=: read -r line included; do
      target=${included%%/*}
      [ "$target" = "$included" ] && continue # beside the file
      [ "$target" = "$folder" ] && continue
      case " ${uses[$folder]} " in *" $target "*) continue ;; esac
      echo "FAILED: $file:$line includes \"$included\": $folder/ does not use $target/"
      failures=$((failures + 1))
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
               sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
  done
done
[ "$failures" -eq 0 ] || exit 1
echo "layers: 1 passed, 0 failed"
