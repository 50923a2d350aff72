#!/usr/bin/env bash
# Installs what Sinkview needs on Debian 12, as root (or through sudo).
#   scripts/install-deps.sh run    what building, running and packaging the program need
#   scripts/install-deps.sh test   that and what the test suite needs (the default)
# Packages already present are not fetched again.
set -euo pipefail

run_packages=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins libgl-dev fonts-liberation libboost-math-dev
  dpkg-dev help2man libtomlplusplus-dev libxlsxwriter-dev libssl-dev
  r-base-core r-cran-nlme r-cran-emmeans r-cran-survival r-cran-cmprsk
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xauth x11-utils openbox
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils libtiff-tools
  appstream desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl libglib2.0-bin man-db
  locales libreoffice-calc-nogui
)

case "${1:-test}" in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
*)
  echo "usage: $0 [run|test]" >&2
  exit 2
  ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing ${#missing[@]} packages: ${missing[*]}"
  echo "(this downloads from the Debian mirrors and may take a few minutes)"
  $sudo apt-get update
  # Recommended packages would pull in systemd; none are needed.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  echo "Packages installed."
fi

# The tests run the study under a German locale, whose decimal comma no
# file of a study may take on.
if [ "${1:-test}" = test ] && ! locale -a | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the de_DE.UTF-8 locale."
  $sudo localedef -i de_DE -c -f UTF-8 de_DE.UTF-8
fi
