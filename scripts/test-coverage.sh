#!/usr/bin/env bash
# Per-test-case line coverage of src/, to find tests that reach nothing the others do not.
# Builds the core with --coverage -O0 in build/coverage (no preset: only this script uses
# it), runs every case of kolva_tests alone with its own GCOV_PREFIX, and hands the
# counters to scripts/test_coverage.py. A case that covers no line of its own is only a
# candidate: a test on the same lines may still catch a different fault, so check each
# with a mutation before removing it.
#   scripts/test-coverage.sh [GTEST_FILTER]     (default: every case)
# Run it under nice on a shared machine; the sweeps over the Free Pascal sources take long.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/coverage
out=$build/per-test
filter=${1:-*}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="--coverage -O0" \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage -DKOLVA_GUI=OFF -DKOLVA_BENCH=OFF >/dev/null
cmake --build "$build" --target kolva_tests kolva
find "$build" -name '*.gcda' -delete
rm -rf "$out"
mkdir -p "$out"

# GCOV_PREFIX_STRIP drops the build directory's own components, so that each case's
# counters land under its folder as src/<layer>/CMakeFiles/...; `kolva` started by a test
# inherits the prefix.
strip=$(tr -cd / <<<"$build" | wc -c)
# Start-up alone, to tell the counters a case changed from those every run sets.
GCOV_PREFIX=$out/_start GCOV_PREFIX_STRIP=$strip "$build/tests/kolva_tests" \
  --gtest_filter=-* >/dev/null
"$build/tests/kolva_tests" --gtest_filter="$filter" --gtest_list_tests |
  awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }' |
  while read -r name; do
    GCOV_PREFIX=$out/${name//\//_} GCOV_PREFIX_STRIP=$strip \
      "$build/tests/kolva_tests" --gtest_filter="$name" >/dev/null 2>&1 || true
  done
python3 scripts/test_coverage.py "$build" "$out" "$root"
