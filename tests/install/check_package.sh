#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root and checks that
# the data file type, the desktop entry, the manual pages and the metadata
# lie where the desktop looks for them, registered as Debian's triggers
# register them. Under an X server, opening a sample as a file manager does
# must start Sinkview with that file loaded.
set -euo pipefail
build=$1
work=$(mktemp -d)
app=""
cleanup() {
  [ -z "$app" ] || kill "$app" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/sinkview_*.deb)
root=$work/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share

for file in usr/bin/sinkview usr/bin/sinkview-2002 usr/bin/sinkview-export \
  usr/share/applications/sinkview.desktop usr/share/mime/packages/sinkview.xml \
  usr/share/metainfo/org.sinkview.Sinkview.metainfo.xml usr/share/icons/hicolor/scalable/apps/sinkview.svg \
  usr/share/man/man1/sinkview.1.gz usr/share/man/man1/sinkview-2002.1.gz usr/share/man/man1/sinkview-export.1.gz \
  usr/bin/sinkview-study usr/share/man/man1/sinkview-study.1.gz usr/bin/sinkview-study-window \
  usr/share/man/man1/sinkview-study-window.1.gz usr/share/doc/sinkview/copyright; do
  [ -e "$root/$file" ] || fail "the package lacks /$file"
done
# Only the sample data files and the example study's own files, never exports
# written beside them.
others=$(find "$share/sinkview/examples" -type f ! -iname '*.vok' ! -path '*/study/study.toml' \
  ! -path '*/study/patients.csv')
[ -z "$others" ] || fail "the package carries more than sample data: $others"
[ -n "$(find "$share/sinkview/examples" -iname '*.vok')" ] || fail "no sample data in the package"
# The same rule on a sample folder where a user wrote exports and notes.
source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
mkdir "$work/examples"
cp "$source_dir/examples/bauer_helene_left.vok" "$work/examples/SHOUTED.VOK"
touch "$work/examples/bauer_helene_left.num" "$work/examples/notes.txt"
sed "s|\"$source_dir/examples/\"|\"$work/examples/\"|" "$build/app/cmake_install.cmake" >"$work/install.cmake"
cmake -DCMAKE_INSTALL_PREFIX="$work/rule" -P "$work/install.cmake" >/dev/null
[ "$(ls "$work/rule/share/sinkview/examples")" = SHOUTED.VOK ] ||
  fail "installed from a used sample folder: $(ls "$work/rule/share/sinkview/examples")"
# Debian's machine-readable copyright file, a long description, and each
# dependency once.
head -n 1 "$share/doc/sinkview/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
  fail "the copyright file is not in Debian's machine-readable format"
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 3 ] || fail "no long description"
twice=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | awk '{print $1}' | sort | uniq -d)
[ -z "$twice" ] || fail "the package depends twice on: $twice"
maintainer=$(dpkg-deb -f "$deb" Maintainer)
case $maintainer in *@localhost* | "") fail "maintainer address '$maintainer'" ;; esac

desktop-file-validate "$share/applications/sinkview.desktop"
appstreamcli validate --no-net --no-color "$share/metainfo/org.sinkview.Sinkview.metainfo.xml" >/dev/null ||
  fail "metainfo: $(appstreamcli validate --no-net --no-color "$share/metainfo/org.sinkview.Sinkview.metainfo.xml")"

# On installation these folders wake the triggers of shared-mime-info and
# desktop-file-utils; here their commands are run as the triggers run them.
for folder in /usr/share/mime/packages /usr/share/applications; do
  grep -q "^$folder " /var/lib/dpkg/triggers/File || fail "no package registers files in $folder"
done
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_DATA_DIRS=$share:/usr/share PATH=$root/usr/bin:$PATH
mkdir -p "$HOME"
update-mime-database "$share/mime"
update-desktop-database "$share/applications"

samples=$share/sinkview/examples
cp "$samples/bauer_helene_left.vok" "$work/SHOUTED.VOK"
for file in "$samples/bauer_helene_left.vok" "$work/SHOUTED.VOK"; do
  type=$(gio info -a standard::content-type "$file" | sed -n 's/^ *standard::content-type: //p')
  [ "$type" = application/x-sinkview-vok ] || fail "$file has the type '$type'"
done
default=$(xdg-mime query default application/x-sinkview-vok)
[ "$default" = sinkview.desktop ] || fail "the type opens with '$default'"
MANPATH=$share/man man -w sinkview-export >/dev/null || fail "man sinkview-export finds no page"
MANPATH=$share/man man sinkview-export 2>/dev/null | grep -q -- --recursive || fail "the manual page lacks --recursive"
MANPATH=$share/man man sinkview 2>/dev/null | grep -q "Reference Point" || fail "man sinkview lacks the settings"
MANPATH=$share/man MANWIDTH=80 man sinkview-study 2>/dev/null | grep -q "wrong\.  *[A-Z]" &&
  fail "a paragraph of man sinkview-study runs into its exit status list"

# The X server's window tree; a window that goes away while the tree is read
# fails the query, so it is asked again.
window_tree() {
  for _ in 1 2 3 4 5; do
    xwininfo -root -tree >"$work/windows" 2>/dev/null && return
    sleep 0.1
  done
  fail "the X server's window tree cannot be read"
}

# A double click in a file manager (gio) and xdg-open without a desktop
# (xdg-utils on its own): the type's default application on the file; its
# main window must show that patient.
opens_sinkview() {
  local log=$work/start.log window
  : >"$log"
  QT_LOGGING_RULES="sinkview.start.info=true" "$@" "$samples/bauer_helene_left.vok" 2>"$log" &
  local opener=$!
  for _ in $(seq 1 100); do
    grep -q "loaded" "$log" && break
    sleep 0.1
  done
  grep -q "loaded $samples/bauer_helene_left.vok -> Bauer Helene HB-1948 with 8 radiographs" "$log" ||
    fail "$1 started no Sinkview on the file: $(cat "$log")"
  # Whole outputs into files: a reader that stops early would fail the pipe.
  window_tree
  window=$(sed -n 's/^ *\(0x[0-9a-f]*\) "ORVA \/ VOK - GRAPHICS 2008".*/\1/p' "$work/windows")
  [ -n "$window" ] || fail "$1: no main window on the screen"
  xprop -id "$window" _NET_WM_PID WM_CLASS _NET_WM_ICON >"$work/properties"
  app=$(sed -n 's/^_NET_WM_PID(CARDINAL) = //p' "$work/properties")
  [ "$(readlink "/proc/$app/exe")" = "$root/usr/bin/sinkview" ] || fail "$1: the window is not the packaged program's"
  grep -q '^_NET_WM_ICON(CARDINAL) = ' "$work/properties" || fail "the window has no icon"
  grep -q '^WM_CLASS(STRING) = .*"sinkview"' "$work/properties" || fail "the window is not called sinkview"
  kill "$app"
  wait "$opener" 2>/dev/null || true
  app=""
  # The window is gone before the next one is looked for.
  for _ in $(seq 1 50); do
    window_tree
    grep -q '"ORVA / VOK - GRAPHICS 2008"' "$work/windows" || break
    sleep 0.1
  done
}
if [ -n "${DISPLAY:-}" ]; then
  opens_sinkview gio open
  opens_sinkview xdg-open
fi
echo "installed package: 1 passed, 0 failed"
