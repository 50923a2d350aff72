#!/usr/bin/env bash
# Makes the README's screenshots from the sample data: runs the session test
# in a private X server and keeps its pictures of the main and graphics window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j 2 --target session_tests
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
scripts/with-x-server.sh build/test/tests/e2e/session_tests --gtest_brief=1
cp build/test/test-artifacts/1-main.png docs/images/main-window.png
cp build/test/test-artifacts/2-graphics.png docs/images/graphics-window.png
cp build/test/test-artifacts/3-table.png docs/images/table-window.png
echo "docs/images updated"
