#!/usr/bin/env bash
# The Options grid with the column of "Penthouse Zentrum" widened by a drag
# of its border, and the help window opened by F1 over the preview.
set -euo pipefail
build=$1
out=$2
cmake --build "$build" --target grids_demo >/dev/null
"$build/desktop/grids_demo" "$out"
