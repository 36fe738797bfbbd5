#!/usr/bin/env bash
# Builds everything and runs every test: the plain Release build a user makes, the same code under
# ASan + UBSan with warnings as errors, and a bounded run of every fuzz target (clang + libFuzzer).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

jobs=$(nproc)
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$jobs"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVELIN_SANITIZE=ON -DTARVELIN_WERROR=ON \
      -DTARVELIN_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DTARVELIN_FUZZ=ON -DTARVELIN_FUZZ_SECONDS="${TARVELIN_FUZZ_SECONDS:-20}" >/dev/null
cmake --build build/fuzz -j "$jobs" --target fuzzers

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== Release build =="
ctest --test-dir build/release --output-on-failure -j "$jobs"
echo "== fuzz targets, ${TARVELIN_FUZZ_SECONDS:-20} s each =="
fuzzlog=build/fuzz/ctest.log
status=0
ctest --test-dir build/fuzz --output-on-failure --verbose -j "$jobs" >"$fuzzlog" 2>&1 || status=$?
grep -E 'number_of_executed_units|Test +#[0-9]+:|tests passed' "$fuzzlog" || true
if [ "$status" -ne 0 ]; then
  tail -n 200 "$fuzzlog"
  exit "$status"
fi
echo "== ASan + UBSan build =="
log=build/asan/ctest.log
ctest --test-dir build/asan --output-on-failure -j "$jobs" | tee "$log"
# ctest lists skipped tests after its summary; the summary is the last word.
grep -E '^[0-9]+% tests passed' "$log" | tail -n 1
