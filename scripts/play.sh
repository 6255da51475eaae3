#!/usr/bin/env bash
# Builds the game alone (optimised; no tests, benchmarks or tools) and starts
# it with data/ beside it. Arguments go to the game (scripts/play.sh --scale 2).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
# Only the game's target: the shipped data in data/ is committed, so the
# program needs nothing else built to run.
cmake --build build/release -j"$(nproc)" --target vantorel
if [ ! -x build/release/vantorel ]; then
  echo "The game was not built (is Qt 6 installed? see scripts/setup.sh)." >&2
  exit 1
fi
exec build/release/vantorel "$@"
