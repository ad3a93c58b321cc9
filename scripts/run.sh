#!/usr/bin/env bash
# The main job: runs the batch evaluator from the release build.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=build/release/evaluator/MivoEval
"$exe" -help
