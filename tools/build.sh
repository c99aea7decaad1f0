#!/usr/bin/env bash
# Configures (once) and builds into build/. Used by run.sh and test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/build.ninja ]; then
  # A warning fails the build in CI.
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_WERROR="${CI:+ON}"
fi
cmake --build build -j2 "$@"
