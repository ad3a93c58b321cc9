#!/usr/bin/env bash
# Benchmark of MivoEval: generates a model of 25 attributes (six decision
# tables of up to 625 rules) and option files of N options (default one
# million), then evaluates them tab and csv, normal and transposed, and
# reports wall time and peak memory of each run.
#
# usage: bench/run_bench.sh [options=1000000]
# Uses the release build in build/release (or $MIVO_BUILD), built here when
# missing.
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-1000000}
build=${MIVO_BUILD:-build/release}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target MivoEval >/dev/null
exe=$build/evaluator/MivoEval
data=$build/bench
echo "Generating $n options in $data ..."
python3 bench/gen_bench.py "$data" "$n"

run() {
  local label=$1; shift
  local stats
  stats=$( { /usr/bin/time -f "%e %U %S %M" "$exe" "$@" >/dev/null; } 2>&1 | tail -1)
  read -r wall user sys rss <<<"$stats"
  printf "%-34s %8.2f s %8.2f s %8d MB\n" "$label" "$wall" "$(awk "BEGIN{print $user + $sys}")" "$(( rss / 1024 ))"
}

# CPU time (user + system) tells more than wall time on a busy machine.
printf "%-34s %10s %10s %11s\n" "run" "wall" "CPU" "peak RSS"
run "tab normal -> tab normal" "$data/bench.mvo" "$data/normal.tab" "$data/out-normal.tab"
run "tab transposed -> tab transposed" -ot "$data/bench.mvo" "$data/transposed.tab" "$data/out-transposed.tab"
run "csv normal -> csv normal" "$data/bench.mvo" "$data/normal.csv" "$data/out-normal.csv"
run "csv transposed -> csv transposed" -ot "$data/bench.mvo" "$data/transposed.csv" "$data/out-transposed.csv"
