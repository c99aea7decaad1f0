#!/usr/bin/env bash
# Kills a saving and moving writer at random moments many times (300 unless
# given) and checks the file after each; the test suite does a few dozen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
bash tools/build.sh --target test_store
QUORVEL_KILL_RUNS="${1:-300}" QT_QPA_PLATFORM=offscreen \
  build/tests/core/test_store --gtest_filter='Killing.*'
