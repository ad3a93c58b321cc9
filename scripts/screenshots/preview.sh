#!/usr/bin/env bash
# The preview window on the example model's report, at page width.
set -euo pipefail
build=$1
out=$2
cmake --build "$build" --target preview_demo >/dev/null
"$build/reports/ui/preview_demo" "$out"
