#!/usr/bin/env bash
# The print dialog over the preview window; where no device printer is
# installed its destination is the PDF file beside the example model.
set -euo pipefail
build=$1
out=$2
cmake --build "$build" --target preview_demo >/dev/null
"$build/reports/ui/preview_demo" "$out" print
