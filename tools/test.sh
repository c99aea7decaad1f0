#!/usr/bin/env bash
# Installs what is missing, builds everything, runs every test headless, then
# fuzzes the RTF reader for a minute per target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
bash tools/build.sh
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j2 --timeout 300
cd ..
bash tools/fuzz.sh 60
