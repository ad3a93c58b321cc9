#!/usr/bin/env bash
# Checks by hand that an Enhanced Metafile written by the platform layer
# opens in an independent reader: writes a formatted report page as .emf
# (through the report-pages test) and has LibreOffice Draw convert it to
# PNG. Not part of CI: LibreOffice is a large install.
#
# Usage: platform/tests/check_emf_libreoffice.sh [build-dir] [output-dir]
# Then look at <output-dir>/report_page.png.
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build/emfcheck}"
out="${2:-/tmp/mivo-emf-check}"
mkdir -p "$out"

if ! command -v soffice >/dev/null 2>&1; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get install -y --no-install-recommends libreoffice-draw ||
    { $SUDO apt-get update && $SUDO apt-get install -y --no-install-recommends libreoffice-draw; }
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" --target platform_reportpages_test
MIVO_EMF_OUT="$out/report_page.emf" QT_QPA_PLATFORM=offscreen \
  "$build/platform/platform_reportpages_test" --gtest_brief=1

rm -f "$out/report_page.png"
soffice --headless --convert-to png --outdir "$out" "$out/report_page.emf" >/dev/null
test -s "$out/report_page.png"
echo "LibreOffice converted $out/report_page.emf to $out/report_page.png"
