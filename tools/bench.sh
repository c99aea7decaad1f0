#!/usr/bin/env bash
# Builds and runs the benchmarks on a generated store of 100,000 topics
# (made once, in build/bench-data) and prints the table.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
bash tools/build.sh --target bench_quorvel
QT_QPA_PLATFORM=offscreen build/bench/bench_quorvel --data build/bench-data "$@"
