#!/usr/bin/env bash
# The preview on reports of long names and deep trees: the functions summary
# of a model with 70-character names and a 10-level chain, and the attribute
# tree with descriptions of three lines beside wrapped names, the tree lines
# running the full height of every row.
set -euo pipefail
build=$1
out=$2
cmake --build "$build" --target preview_demo >/dev/null
"$build/reports/ui/preview_demo" "$out" long-names
"$build/reports/ui/preview_demo" "$out" tree-description
