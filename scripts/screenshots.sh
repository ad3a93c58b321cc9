#!/usr/bin/env bash
# Makes every screenshot of the desktop program's windows and dialogs,
# under a virtual display, into build/screenshots/ (one PNG each, named for
# what it shows). Each scripts/screenshots/*.sh fragment makes its own
# screenshots; it is called with the build folder and the output folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
out=build/screenshots
mkdir -p "$out"
for fragment in scripts/screenshots/*.sh; do
  [ -e "$fragment" ] || continue
  echo "== $fragment"
  xvfb-run -a -s "-screen 0 1600x1000x24" bash "$fragment" "$build" "$out"
done
ls -1 "$out"
