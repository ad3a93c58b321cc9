#!/usr/bin/env bash
# The main window on the example model, maximised, with its caption, status
# line and the File menu open over the merged menu bar.
set -euo pipefail
build=$1
out=$2
cmake --build "$build" --target shell_demo >/dev/null
"$build/desktop/shell_demo" "$out"
