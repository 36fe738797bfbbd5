#!/usr/bin/env bash
# Builds everything and runs every test, in the normal build and under ASan + UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

jobs=$(nproc)
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$jobs"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVELIN_SANITIZE=ON -DTARVELIN_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== normal build =="
ctest --test-dir build/release --output-on-failure -j "$jobs"
echo "== ASan + UBSan build =="
log=build/asan/ctest.log
ctest --test-dir build/asan --output-on-failure -j "$jobs" | tee "$log"
# ctest lists skipped tests after its summary; the summary is the last word.
grep -E '^[0-9]+% tests passed' "$log" | tail -n 1
