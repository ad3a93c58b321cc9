#!/usr/bin/env bash
# The decision-rule editor on a table of the example model (entered results
# in bold, red and green input values, an interval in the value list, the
# status line) and its weights dialog with the current-weight markers.
set -euo pipefail
build=$1
out=$2
cmake --build "$build" --target ruleedit_demo >/dev/null
"$build/desktop/ruleedit_demo" "$out"
