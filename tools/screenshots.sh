#!/usr/bin/env bash
# Takes the README's screenshots (docs/screenshots/) of the real program on
# the end-to-end desktop, in English, on sample notes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
bash tools/build.sh --target quorvel
out="$PWD/docs/screenshots"
mkdir -p "$out"
# tools/screens.py drives the program with the end-to-end steps.
QUORVEL_SCREENS="$out" PYTHONPATH="$PWD/tools" /usr/bin/python3 tests/e2e/run.py --exe "$PWD/build/app/quorvel" \
  --artifacts "$PWD/build/screens" screens
ls -l "$out"
