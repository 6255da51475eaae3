#!/usr/bin/env bash
# Builds the release (as scripts/play.sh does) and makes the Debian package
# build/release/vantorel_<version>_<arch>.deb, whose library dependencies
# dpkg-shlibdeps computes. Install it with
#   sudo apt-get install ./build/release/vantorel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)"
cd build/release
cpack -G DEB
