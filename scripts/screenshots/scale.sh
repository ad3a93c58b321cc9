#!/usr/bin/env bash
# The scale editor with bad, neutral and good rows, and the Model page on
# the example model with its node images and the three boxes.
set -euo pipefail
build=$1
out=$2
cmake --build "$build" --target scale_demo >/dev/null
"$build/desktop/scale_demo" "$out"
