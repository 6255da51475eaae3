#!/usr/bin/env bash
# Builds everything (optimised) and starts the game with data/ beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)"
if [ ! -x build/release/vantorel ]; then
  echo "The game was not built (is Qt 6 installed? see scripts/setup.sh)." >&2
  exit 1
fi
exec build/release/vantorel
