#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts Sinkview.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSINKVIEW_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j 2
exec build/release/app/sinkview "$@"
