#!/bin/sh
# Runs bench_report_large_bench over the option series 50, 100, 250 and 500
# for the evaluation results and the comparison of options, then the
# 500-option evaluation results with long names; one process per case.
#
# usage: bench/report_large.sh [build folder=build/release]
set -e
bin="${1:-build/release}/bench/bench_report_large_bench"
for kind in eval comp; do
    for options in 50 100 250 500; do
        "$bin" "$kind" "$options"
    done
done
"$bin" eval 500 long
