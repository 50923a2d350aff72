#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: a
# one-minute fuzz run of the reader, the tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the core and exporter tests under ThreadSanitizer
# (a build without the GUI, whose exporter runs its workers), and the
# tests in an optimised build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test

export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
corpus=$(mktemp -d)
trap 'rm -rf "$XDG_RUNTIME_DIR" "$corpus"' EXIT

echo "== Fuzzing the data file reader for a minute"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSINKVIEW_BUILD_GUI=OFF -DSINKVIEW_BUILD_TESTS=OFF -DSINKVIEW_BUILD_FUZZERS=ON -DSINKVIEW_SANITIZE=ON >/dev/null
cmake --build build/fuzz -j 2
# Seeds of the same name from two folders are both kept.
cp --backup=numbered tests/data/*.vok tests/data/bad/*.vok examples/*.vok fuzz/seeds/*.vok fuzz/corpus/* "$corpus/"
build/fuzz/fuzz/fuzz_data_file -max_total_time=60 -print_final_stats=1 -dict=fuzz/data_file.dict "$corpus" 2>&1 |
  tail -n 6

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSINKVIEW_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j 2
ASAN_OPTIONS=abort_on_error=1:detect_stack_use_after_return=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/tests/support/leak_suppressions.txt" \
  scripts/with-print-system.sh scripts/with-x-server.sh ctest --test-dir build/sanitize --output-on-failure -j 2

echo "== Core and exporter tests under ThreadSanitizer"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSINKVIEW_BUILD_GUI=OFF -DSINKVIEW_SANITIZE_THREAD=ON >/dev/null
cmake --build build/tsan -j 2
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan --output-on-failure -j 2

echo "== Tests (optimised build)"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSINKVIEW_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/test -j 2
scripts/with-print-system.sh scripts/with-x-server.sh ctest --test-dir build/test --output-on-failure -j 2

