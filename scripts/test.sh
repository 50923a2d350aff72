#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: a
# one-minute fuzz run of the readers, the tests under AddressSanitizer and
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

echo "== Fuzzing the readers of data files, protocols and patients files for a minute"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSINKVIEW_BUILD_GUI=OFF -DSINKVIEW_BUILD_TESTS=OFF -DSINKVIEW_BUILD_FUZZERS=ON -DSINKVIEW_SANITIZE=ON >/dev/null
cmake --build build/fuzz -j 2
# Seeds of the same name from two folders are both kept.
mkdir "$corpus/data_file" "$corpus/protocol" "$corpus/patients_file"
cp --backup=numbered tests/data/*.vok tests/data/bad/*.vok examples/*.vok fuzz/seeds/*.vok fuzz/corpus/* \
  "$corpus/data_file/"
cp --backup=numbered fuzz/seeds/protocol/* tests/data/*/study.toml examples/study/study.toml "$corpus/protocol/"
cp --backup=numbered fuzz/seeds/patients/* tests/data/patients_dialects/* tests/data/*/patients.csv \
  examples/study/patients.csv "$corpus/patients_file/"
# The data file reader, with the most code behind it, has half of the
# minute; the two small readers of a study's own files a quarter each.
for target in data_file:30 protocol:15 patients_file:15; do
  build/fuzz/fuzz/fuzz_"${target%:*}" -max_total_time="${target#*:}" -print_final_stats=1 \
    -dict=fuzz/"${target%:*}".dict "$corpus/${target%:*}" 2>&1 | tail -n 6
done

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

