#!/usr/bin/env bash
# Plants the one-line faults of scripts/mutations.txt, one at a time, in a
# scratch copy of the sources, rebuilds the core tests (vantorel_tests) and
# runs them: a fault the suite fails on is "caught", one it passes is
# "SURVIVED". A tool for finding what the tests do not hold, not a gate: it
# takes a minute or so per fault on a loaded machine.
#
#   scripts/mutate.sh            every fault of the list
#   scripts/mutate.sh 3 17 40    only these (numbered in list order)
#   scripts/mutate.sh --list     print the numbered list and stop
#   scripts/mutate.sh -f FILE    another list in the same form
#
# The list is blocks separated by blank lines: a "## what the fault breaks"
# line, the file, "- " and the original line, "+ " and the faulty one. Lines
# are compared without their leading and trailing blanks; the first line of
# the file that matches is replaced (its indentation kept). A fault whose
# original line is no longer in the file is reported "stale" and skipped, so
# the list survives refactoring; refresh it when stale ones pile up.
#
# The scratch copy is build/mutate/src (VANTOREL_MUTATE_DIR moves it): the
# tracked files of the working tree as they are now, copied only where they
# differ, so later runs rebuild little. It builds with ccache and -j2
# (VANTOREL_MUTATE_JOBS). The report is also written to build/mutate/report.txt.
# Exit status: 0 when every fault that applied was caught, 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

list=scripts/mutations.txt
only=()
print_only=0
while [ $# -gt 0 ]; do
  case "$1" in
    -f) list=$2; shift 2 ;;
    --list) print_only=1; shift ;;
    -h|--help) sed -n '2,24p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) only+=("$1"); shift ;;
  esac
done

# Replaces the first line whose trimmed text is $2 by $3 (indentation kept).
# Status 3 when no line matches.
plant() {
  awk -v want="$2" -v repl="$3" '
    function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t\r]+$/, "", s); return s }
    !done && trim($0) == trim(want) {
      match($0, /^[ \t]*/); print substr($0, 1, RLENGTH) repl; done = 1; next
    }
    { print }
    END { if (!done) exit 3 }' "$1"
}

# ---- read the list ------------------------------------------------------
names=(); files=(); origs=(); repls=()
parse() {
  local name="" file="" orig="" repl="" line
  flush() {
    if [ -n "$file$orig$repl" ]; then
      if [ -z "$file" ] || [ -z "$orig" ] || [ -z "$repl" ]; then
        echo "mutate: incomplete block in $list: ${name:-(no name)}" >&2
        exit 2
      fi
      names+=("$name"); files+=("$file"); origs+=("$orig"); repls+=("$repl")
    fi
    name=""; file=""; orig=""; repl=""
  }
  while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
      "") flush ;;
      "## "*) name=${line#\#\# } ;;
      "#"*) ;;
      "- "*) orig=${line#- } ;;
      "+ "*) repl=${line#+ } ;;
      *) file=$line ;;
    esac
  done <"$list"
  flush
}
parse
count=${#names[@]}
if [ "$print_only" = 1 ]; then
  for ((i = 0; i < count; i++)); do
    mark=""
    plant "${files[i]}" "${origs[i]}" "${repls[i]}" >/dev/null 2>&1 || mark=" (stale)"
    printf '%3d  %-22s %s%s\n' $((i + 1)) "${files[i]}" "${names[i]}" "$mark"
  done
  exit 0
fi
if [ ${#only[@]} -eq 0 ]; then
  for ((i = 1; i <= count; i++)); do only+=("$i"); done
fi

# ---- the scratch copy -----------------------------------------------------
scratch=${VANTOREL_MUTATE_DIR:-$root/build/mutate}
src=$scratch/src
bld=$src/build/dev
jobs=${VANTOREL_MUTATE_JOBS:-2}
mkdir -p "$src"
copied=0
while IFS= read -r -d '' f; do
  [ -f "$f" ] || continue
  if ! cmp -s "$f" "$src/$f"; then
    mkdir -p "$src/$(dirname "$f")"
    cp "$f" "$src/$f"
    copied=$((copied + 1))
  fi
done < <(git ls-files -z)
echo "mutate: scratch copy $src ($copied files refreshed)"
# The flags of build/dev (warnings as errors included), so that ccache
# serves what the everyday build compiled; a fault that only draws a warning
# counts as "nobuild".
cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_WERROR=ON -DVANTOREL_GAME=OFF \
  -DVANTOREL_BENCH=OFF >"$scratch/configure.log" 2>&1 || {
  echo "mutate: configuring failed, see $scratch/configure.log" >&2
  exit 2
}

build() { cmake --build "$bld" --target vantorel_tests -j"$jobs" >"$scratch/build.log" 2>&1; }
# Runs the suite; prints the first failing test. Status 0 = all passed.
run_tests() {
  local out status
  set +e
  out=$(cd "$bld" && timeout "$limit" ./vantorel_tests --gtest_fail_fast --gtest_brief=1 2>&1)
  status=$?
  set -e
  if [ $status -ne 0 ]; then
    if [ $status -eq 124 ]; then
      echo "(timed out)"
    else
      local first
      first=$(printf '%s\n' "$out" | grep -m1 -o '\[  FAILED  \] [A-Za-z0-9_./]*' | sed 's/\[  FAILED  \] //')
      echo "${first:-(crashed, status $status)}"
    fi
  fi
  return $status
}

limit=1800
echo "mutate: building the unchanged sources"
build || { echo "mutate: the unchanged sources do not build, see $scratch/build.log" >&2; exit 2; }
start=$(date +%s)
if ! run_tests >/dev/null; then
  echo "mutate: the core tests fail without any fault; fix that first" >&2
  exit 2
fi
base=$(($(date +%s) - start))
limit=$((base * 5 + 60))
echo "mutate: core tests pass in ${base}s; a fault's run is cut off after ${limit}s"

report=$scratch/report.txt
: >"$report"
caught=0; survived=0; stale=0; broken=0
survivors=()
for n in "${only[@]}"; do
  i=$((n - 1))
  if [ $i -lt 0 ] || [ $i -ge "$count" ]; then echo "mutate: no fault $n" >&2; exit 2; fi
  f=$src/${files[i]}
  label=$(printf '%3d %s: %s' "$n" "${files[i]}" "${names[i]}")
  saved=$scratch/original.tmp
  if [ ! -f "$f" ]; then
    line="stale    $label (file gone)"
    stale=$((stale + 1))
  else
    cp "$f" "$saved"
    set +e
    plant "$saved" "${origs[i]}" "${repls[i]}" >"$f"
    status=$?
    set -e
    if [ $status -eq 3 ]; then
      cp "$saved" "$f"
      line="stale    $label (line not found)"
      stale=$((stale + 1))
    elif ! build; then
      line="nobuild  $label"
      broken=$((broken + 1))
    elif which=$(run_tests); then
      line="SURVIVED $label"
      survived=$((survived + 1))
      survivors+=("$n")
    else
      line="caught   $label  <- $which"
      caught=$((caught + 1))
    fi
    # Restored as a new file, so that the next build compiles it again.
    [ -f "$saved" ] && cp "$saved" "$f" && rm -f "$saved"
  fi
  echo "$line"
  echo "$line" >>"$report"
done
applied=$((caught + survived))
summary="mutate: $caught of $applied caught, $survived survived, $stale stale, $broken did not build"
[ ${#survivors[@]} -gt 0 ] && summary="$summary (survivors: ${survivors[*]})"
echo "$summary"
echo "$summary" >>"$report"
# Leave the scratch build matching the sources again.
build || true
[ "$survived" -eq 0 ]
