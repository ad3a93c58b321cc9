#!/usr/bin/env bash
# The preview window on a comparison of options wider than the page (eight
# options, long value names): every chunk of options inside the page.
set -euo pipefail
build=$1
out=$2
cmake --build "$build" --target comparison_demo >/dev/null
"$build/reports/ui/comparison_demo" "$out"
