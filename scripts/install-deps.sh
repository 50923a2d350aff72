#!/usr/bin/env bash
# Installs what Sinkview needs to build, run and test on Debian 12, as root
# (or through sudo). Packages already present are not fetched again.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config dpkg-dev
  qt6-base-dev qt6-svg-dev libgl-dev fonts-liberation
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xauth x11-utils openbox
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
  help2man appstream desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl libglib2.0-bin man-db
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
# Recommended packages would pull in systemd; none are needed.
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
