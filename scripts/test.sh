#!/usr/bin/env bash
# Builds and runs every test twice: an optimised build, and a build under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

run_suite() {
  local dir=$1 type=$2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type"
  cmake --build "$dir" -j"$jobs"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

run_suite build/release RelWithDebInfo
run_suite build/sanitize Sanitize
# A short run of every fuzz target (longer runs: make fuzz SECONDS=...).
bash fuzz/run.sh 5
echo "All tests passed."
