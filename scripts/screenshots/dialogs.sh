#!/usr/bin/env bash
# The report dialog and the three pages of the settings dialog.
set -euo pipefail
build=$1
out=$2
cmake --build "$build" --target dialogs_demo >/dev/null
"$build/reports/ui/dialogs_demo" "$out"
