#!/usr/bin/env bash
# Builds the Debian package of Quorvel into build-package/: a release build
# without tests, installed under /usr, packed by CPack. Install it with
#   apt-get install ./build-package/quorvel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQUORVEL_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build-package -j2
cd build-package
rm -f quorvel_*.deb
cpack -G DEB
ls -l "$PWD"/quorvel_*.deb
