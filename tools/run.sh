#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quorvel. Extra arguments go to
# the program (a data folder, or /M to start hidden in the tray).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
bash tools/build.sh --target quorvel
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MSG'
Quorvel is built (build/app/quorvel) but there is no display to show it on.
Start it under a virtual display instead:
    xvfb-run -a -s "-screen 0 1280x1024x24" bash tools/run.sh
or from a desktop session (where DISPLAY or WAYLAND_DISPLAY is set).
MSG
  exit 1
fi
exec build/app/quorvel "$@"
