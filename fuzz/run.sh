#!/usr/bin/env bash
# Builds the fuzzers and runs each for the given number of seconds.
#
#   fuzz/run.sh SECONDS [BUILD_DIR]     (default build/fuzz)
#
# Each fuzzer starts from its seeds in fuzz/corpus/<name>/ and keeps what
# it learns in BUILD_DIR/corpus/<name>/ (the seed folders are not touched).
# A crash, sanitizer report, leak, hang or memory use over 2 GB stops that
# fuzzer (a hang is one input running over 30 s: a small file may rightly
# ask for a table of a million rules, which takes seconds under the
# sanitizers); the input that caused it is saved in
# BUILD_DIR/artifacts/<name>/ and the script fails at the end. The count of
# executions per fuzzer is printed in the summary.
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?usage: fuzz/run.sh SECONDS [BUILD_DIR]}
dir=${2:-build/fuzz}
cxx=${MIVO_FUZZ_CXX:-$(command -v clang++ || command -v clang++-14 || true)}
if [ -z "$cxx" ]; then
  echo "fuzz/run.sh: clang++ not found (the fuzzers need clang and its runtime)" >&2
  exit 2
fi

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$cxx" -DMIVO_FUZZ=ON -DMIVO_BUILD_TESTS=OFF >/dev/null || exit 2
cmake --build "$dir" --target mivo_fuzzers || exit 2

mkdir -p "$dir/logs"
failed=()
summary=()
for fuzzer in "$dir"/fuzz/*_fuzzer; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="$dir/corpus/$name"
  artifacts="$dir/artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  log="$dir/logs/$name.log"
  echo "== $name: ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$fuzzer" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
      -malloc_limit_mb=1024 -max_len=65536 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}" >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  if [ $rc -ne 0 ]; then
    failed+=("$name")
    summary+=("$name: FINDING after ${runs:-?} executions (see $log)")
    grep -m5 -E 'ERROR|SUMMARY|runtime error|assertion failed|does not read back|Test unit written' "$log" | sed 's/^/   /'
  else
    summary+=("$name: ${runs:-?} executions, no finding")
  fi
done

echo "== summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzers with findings: ${failed[*]}" >&2
  exit 1
fi
