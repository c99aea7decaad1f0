#!/usr/bin/env bash
# Installs every Debian package the build and the tests (end-to-end ones
# included) need. Both README commands call it; it does nothing when all is
# already present, so it is cheap to run every time.
set -euo pipefail

PACKAGES=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev libsqlite3-dev libgtest-dev libbenchmark-dev
  # the icon's bitmaps are rendered from its SVG; the Debian package (its
  # library dependencies are read by dpkg-shlibdeps)
  librsvg2-bin dpkg-dev file
  # checks of the installed desktop entry, metainfo and man pages
  desktop-file-utils appstream man-db
  # the RTF reader's fuzz targets (tools/fuzz.sh): clang's libFuzzer
  clang-14 libclang-rt-14-dev
  # run time: sound backend, fonts (without them widgets and PDFs have no
  # letters), Qt's own dialogs in the program's languages, Wayland sessions
  gstreamer1.0-plugins-good fonts-dejavu-core qt6-translations-l10n qt6-wayland
  # independent RTF extractors the reader is checked against; PDF text for
  # the print tests
  unrtf pandoc python3 poppler-utils
  # end-to-end tests: a real X desktop (display, window manager, notification
  # area, session and accessibility buses), real input, screenshots, and the
  # X session libraries a small session manager in Python calls
  xvfb xauth x11-utils openbox trayer dbus at-spi2-core python3-pyatspi
  xdotool imagemagick libsm6 libice6
  # the same program under a headless Wayland compositor
  weston
  # the Debian package's own checks
  lintian
  # notes on several machines: the user's own git program, and the tests'
  # remotes made with it (by path, git daemon, and ssh with a test key)
  git openssh-server openssh-client
)

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
