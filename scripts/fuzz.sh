#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) in build/fuzz and runs each in turn, one process at a time.
#
#   scripts/fuzz.sh SECONDS [TARGET...]       each target for SECONDS
#   scripts/fuzz.sh --runs N [TARGET...]      each target for N inputs
#   scripts/fuzz.sh --build-only
#
# Targets: convert_save convert_vs emblem names positions preset save
# startdata tournament vs vtr (default: all). Each starts from its committed seeds in
# fuzz/corpus/TARGET and keeps what it finds in build/fuzz/corpus/TARGET.
# An input that crashes, trips a sanitizer, breaks a target's check, runs
# longer than 20 s or asks for more than 16 MB at once is written to
# build/fuzz/crashes/ and the script fails. One line per target reports
# the inputs run, the coverage (edges "cov", features "ft") and the crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
all=(convert_save convert_vs emblem names positions preset save startdata tournament vs vtr)

limit=()
case "${1:-}" in
  --build-only) limit=(build) ;;
  --runs) [ $# -ge 2 ] || { echo "usage: scripts/fuzz.sh --runs N [TARGET...]" >&2; exit 2; }
          limit=(-runs="$2"); shift 2 ;;
  ''|-*) echo "usage: scripts/fuzz.sh SECONDS|--runs N|--build-only [TARGET...]" >&2; exit 2 ;;
  *) limit=(-max_total_time="$1"); shift ;;
esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

scripts/setup.sh
build=$root/build/fuzz
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVANTOREL_FUZZ=ON -DVANTOREL_SANITIZE=ON -DVANTOREL_WERROR=ON \
    -DVANTOREL_GAME=OFF -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target fuzz_all vantorel-sim vantorel-fuzzseeds -j2
[ "${limit[0]}" = build ] && exit 0

mkdir -p "$build/crashes" "$build/logs"
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
passed=0
printf '%-13s %12s %8s %8s %8s %s\n' target inputs cov ft crashes seconds
for t in "${targets[@]}"; do
  [ -x "$build/fuzz_$t" ] || { echo "no such fuzz target: $t" >&2; exit 2; }
  mkdir -p "$build/corpus/$t"
  log=$build/logs/$t.log
  before=$(ls "$build/crashes" | grep -c "^$t-" || true)
  start=$SECONDS
  status=0
  "$build/fuzz_$t" "${limit[@]}" -timeout=20 -malloc_limit_mb=16 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$t-" "$build/corpus/$t" "$root/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1 || true)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
  crashes=$(( $(ls "$build/crashes" | grep -c "^$t-" || true) - before ))
  printf '%-13s %12s %8s %8s %8s %s\n' "$t" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$crashes" "$((SECONDS - start))"
  if [ "$status" -eq 0 ] && [ "$crashes" -eq 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "--- fuzz_$t failed (exit $status); the input is in build/fuzz/crashes/, the log in $log:" >&2
    grep -E '^(==|\*\*\*|SUMMARY|.*runtime error)' "$log" | head -20 >&2 || tail -20 "$log" >&2
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
