#!/usr/bin/env bash
# Benchmark of MivoEval against one pass over the same text.
#
# Generates a model of 25 attributes (six decision tables of up to 625
# rules) and option files of N options (default one million) in base 1,
# then times four runs: tab and csv, normal and transposed, each writing
# the same form it reads. Every run is paired with a split pass over its
# input file that only cuts each line at its delimiter:
#
#   mawk -F'\t' '{n=split($0,a,"\t"); print a[1]}'     (csv: at ",")
#
# Each pair is repeated R times (default 5), the two in turn, so that the
# load of a busy machine falls on both alike. Printed per run: the medians
# of wall time, CPU time (user + system) and peak memory of MivoEval and of
# the split pass, and the ratio of the two median wall times.
#
# usage: bench/run_bench.sh [options=1000000] [repeats=5]
# Uses the release build in build/release (or $MIVO_BUILD), built here when
# missing; installs mawk when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-1000000}
repeats=${2:-5}
build=${MIVO_BUILD:-build/release}

if ! command -v mawk >/dev/null; then
  echo "Installing mawk for the split pass ..."
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y mawk >/dev/null; else sudo apt-get install -y mawk >/dev/null; fi
fi
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target MivoEval >/dev/null
exe=$build/evaluator/MivoEval
data=$build/bench
echo "Generating $n options in $data ..."
python3 bench/gen_bench.py "$data" "$n"

# One timed command: prints "wall cpu peak-kB".
timed() {
  local stats
  stats=$( { /usr/bin/time -f "%e %U %S %M" "$@" >/dev/null; } 2>&1 | tail -1)
  read -r wall user sys rss <<<"$stats"
  echo "$wall $(awk "BEGIN{print $user + $sys}") $rss"
}

# The median of the numbers on standard input.
median() { sort -g | awk '{v[NR]=$1} END{print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

# bench LABEL DELIMITER INPUT -- MIVOEVAL-ARGUMENTS...
bench() {
  local label=$1 delimiter=$2 input=$3
  shift 4
  local eval_times=() split_times=()
  for ((k = 0; k < repeats; ++k)); do
    eval_times+=("$(timed "$exe" "$@")")
    split_times+=("$(timed mawk -F"$delimiter" "{n=split(\$0,a,\"$delimiter\"); print a[1]}" "$input")")
  done
  local ew ec em sw sc sm
  ew=$(printf '%s\n' "${eval_times[@]}" | cut -d' ' -f1 | median)
  ec=$(printf '%s\n' "${eval_times[@]}" | cut -d' ' -f2 | median)
  em=$(printf '%s\n' "${eval_times[@]}" | cut -d' ' -f3 | median)
  sw=$(printf '%s\n' "${split_times[@]}" | cut -d' ' -f1 | median)
  sc=$(printf '%s\n' "${split_times[@]}" | cut -d' ' -f2 | median)
  sm=$(printf '%s\n' "${split_times[@]}" | cut -d' ' -f3 | median)
  printf "%-34s %7.2f s %7.2f s %6d MB | %7.2f s %7.2f s %6d MB | %6.2f\n" "$label" "$ew" "$ec" \
    "$(awk "BEGIN{print int($em / 1024)}")" "$sw" "$sc" "$(awk "BEGIN{print int($sm / 1024)}")" \
    "$(awk "BEGIN{print $ew / $sw}")"
}

echo "Medians of $repeats runs each."
printf "%-34s %29s | %29s | %6s\n" "" "MivoEval" "split pass" "ratio"
printf "%-34s %9s %9s %9s | %9s %9s %9s | %6s\n" "run" "wall" "CPU" "peak" "wall" "CPU" "peak" "wall"
bench "tab normal -> tab normal" $'\t' "$data/normal.tab" -- \
  "$data/bench.mvo" "$data/normal.tab" "$data/out-normal.tab"
bench "tab transposed -> tab transposed" $'\t' "$data/transposed.tab" -- \
  -ot "$data/bench.mvo" "$data/transposed.tab" "$data/out-transposed.tab"
bench "csv normal -> csv normal" "," "$data/normal.csv" -- \
  "$data/bench.mvo" "$data/normal.csv" "$data/out-normal.csv"
bench "csv transposed -> csv transposed" "," "$data/transposed.csv" -- \
  -ot "$data/bench.mvo" "$data/transposed.csv" "$data/out-transposed.csv"
