#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that the installed
# programs find their data there.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/sinkview bin/sinkview-export bin/sinkview-study bin/sinkview-study-window share/applications/sinkview-study.desktop \
  share/sinkview/clskonli.sys share/sinkview/clslinli.sys share/sinkview/clspktli.sys \
  share/sinkview/clskonre.sys share/sinkview/clslinre.sys share/sinkview/clspktre.sys \
  share/sinkview/examples/bauer_helene_left.vok share/applications/sinkview.desktop \
  share/icons/hicolor/scalable/apps/sinkview.svg; do
  [ -e "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done

# The installed exporter finds the sketch files and the samples of its prefix.
export QT_QPA_PLATFORM=offscreen
errors=$("$prefix/bin/sinkview-export" --graphics "$prefix/figure.png" \
  "$prefix/share/sinkview/examples/bauer_helene_left.vok" 2>&1 >/dev/null)
[ -z "$errors" ] || { echo "$errors"; exit 1; }
[ -s "$prefix/figure.png" ] || { echo "no figure written"; exit 1; }
"$prefix/bin/sinkview-export" --output-dir "$prefix" "$prefix/share/sinkview/examples" | grep -q "3 files written"
echo "installed into a fresh prefix: 1 passed, 0 failed"
