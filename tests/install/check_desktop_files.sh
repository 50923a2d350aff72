#!/usr/bin/env bash
# The desktop entry, the AppStream metadata and the data file type as the
# validators of the desktop read them.
set -euo pipefail
source_dir=$1 build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

desktop-file-validate "$source_dir/packaging/sinkview.desktop" "$source_dir/packaging/sinkview-study.desktop"
metainfo=$build/packaging/org.sinkview.Sinkview.metainfo.xml
appstreamcli validate --no-net --no-color "$metainfo" >"$work/report" || { cat "$work/report"; exit 1; }
# Every screenshot of the README is described.
for image in "$source_dir"/docs/images/*.png; do
  grep -q "/images/$(basename "$image")</image>" "$metainfo" || { echo "no screenshot $image"; exit 1; }
done
mkdir -p "$work/mime/packages"
cp "$source_dir/packaging/sinkview-vok.xml" "$work/mime/packages/"
XDG_DATA_DIRS=$work update-mime-database "$work/mime" 2>"$work/mime.err"
[ ! -s "$work/mime.err" ] || { cat "$work/mime.err"; exit 1; }
grep -q '^application/x-sinkview-vok$' "$work/mime/types" || { echo "the data file type is not registered"; exit 1; }
echo "desktop files: 1 passed, 0 failed"
