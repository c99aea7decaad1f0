#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the end-to-end
# checks need. Both README commands call it; it does nothing when all is
# already present, so it is cheap to run every time.
set -euo pipefail

PACKAGES=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev libsqlite3-dev libgtest-dev libbenchmark-dev
  # run time: sound backend, fonts (without them widgets and PDFs have no letters)
  gstreamer1.0-plugins-good fonts-dejavu-core
  # virtual display for running and checking the program without a desktop
  xvfb xauth
  # independent RTF extractors the reader is checked against; PDF text for
  # the print tests
  unrtf pandoc python3 poppler-utils
)
# With --e2e: what end-to-end checks under a virtual display use
# (screenshots, synthetic input, PDF pages, a notification area).
if [ "${1:-}" = "--e2e" ]; then
  PACKAGES+=(xdotool imagemagick trayer)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run as root, or install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
