#!/usr/bin/env bash
# The charts: bars, bubbles and arrows (also three options at one point),
# a radar, the four-options panel, a report page with a chart, and a copied
# chart's Enhanced Metafile as LibreOffice converts it (where LibreOffice is
# installed).
set -euo pipefail
build=$1
out=$2
mkdir -p "$out"
cmake --build "$build" --target charts_demo >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/desktop/charts_demo" "$out" "$tmp"
if command -v soffice >/dev/null 2>&1; then
  soffice --headless --convert-to png --outdir "$tmp" "$tmp/chart.emf" >/dev/null 2>&1 &&
    mv "$tmp/chart.png" "$out/chart-emf-libreoffice.png"
fi
