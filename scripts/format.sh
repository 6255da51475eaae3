#!/usr/bin/env bash
# Applies the project's C++ style (.clang-format) to every tracked source
# file. With --check it changes nothing and fails when a file is not in
# style, naming it (the ctest "formatted" runs this).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find club match world screens tools tests bench fuzz -name '*.cpp' -o -name '*.h')
if [ "${1:-}" = "--check" ]; then
  exec clang-format --dry-run -Werror "${files[@]}"
fi
clang-format -i "${files[@]}"
