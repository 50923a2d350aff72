#!/usr/bin/env bash
# The layer check on small trees of its own: the real tree passes it, so
# only these show that it fails an edge up, an edge it allows that no file
# uses, and one program including another's files.
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failures=0

# The check's own table, over a tree holding exactly the edges it lists.
expect() { # what, the line the check must print (empty: it passes)
  local out status=0
  out=$("$check" "$tree" 2>&1) || status=$?
  if [ -z "$2" ] && [ "$status" -eq 0 ]; then return; fi
  if [ -n "$2" ] && [ "$status" -ne 0 ] && grep -qF -- "$2" <<<"$out"; then return; fi
  echo "FAILED: $1: status $status, said: $out"
  failures=$((failures + 1))
}
entries=$(sed -n '/^declare -A uses=(/,/^)/p' "$check" | sed '1d;$d')
while read -r entry; do
  folder=${entry#[}; folder=${folder%%]*}
  uses=${entry#*=\"}; uses=${uses%\"}
  mkdir -p "$tree/$folder"
  : >"$tree/$folder/own.h"
  for target in $uses; do mkdir -p "$tree/$target"; echo "#include \"$target/own.h\"" >>"$tree/$folder/own.h"; done
done <<<"$entries"
expect "every listed edge used" ""

echo '#include "tools/export/own.h"' >"$tree/tools/study/up.cpp"
expect "a program including another's files" 'tools/study/up.cpp:1 includes "tools/export/own.h"'
rm "$tree/tools/study/up.cpp"

# The first folder listed is the lowest; the last one lies above it.
bottom=$(head -1 <<<"$entries" | sed 's/^ *\[\([^]]*\)\].*/\1/')
top=$(tail -1 <<<"$entries" | sed 's/^ *\[\([^]]*\)\].*/\1/')
echo "#include \"$top/own.h\"" >"$tree/$bottom/up.cpp"
expect "an edge up" "$bottom/up.cpp:1 includes \"$top/own.h\": $bottom/ does not use $top/"
rm "$tree/$bottom/up.cpp"

: >"$tree/tools/study/own.h"
expect "an edge no file uses" 'tools/study/ may use'

[ "$failures" -eq 0 ] || exit 1
echo "layer check: 3 faults caught"
