#!/usr/bin/env bash
# Regenerates the fuzz targets' seed corpora in fuzz/corpus/ from the
# project's own tools: a new game and saves at weeks 5, 13 and 30 played by
# vantorel-sim, VS exports, a recorded data battle, a tournament after its
# first round, and the shipped data;
# vantorel-fuzzseeds makes them small and adds the old layouts and a few
# hostile files. Same seeds, same corpora.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/fuzz.sh --build-only
build=$root/build/fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data"
cp -r data/first.dat data/name data/aiforma data/formation "$work/data/"
cd "$work"
sim=$build/vantorel-sim
$sim new --seed 1 --save w1 >/dev/null
$sim play --seed 2 --load w1 --until-week 5 --save w5 >/dev/null
$sim play --seed 3 --load w5 --until-week 13 --save w13 >/dev/null
$sim play --seed 4 --load w13 --until-week 30 --save w30 >/dev/null
$sim export-vs --seed 5 --load w30 --out club --comment '監督：テスト, "引用"' >/dev/null
$sim match 0 1 --vs --seed 6 --record rec >/dev/null
$sim export-vs --seed 7 --load w13 --out early >/dev/null
$sim export-vs --seed 8 --load w30 --out late --comment 'もう一度' >/dev/null
$sim tournament data/vs/club.vs data/vs/early.vs data/vs/late.vs --seed 9 --rounds 1 --save tn >/dev/null
rm -rf "$root/fuzz/corpus"
"$build/vantorel-fuzzseeds" "$work" "$root/fuzz/corpus"
du -sh "$root/fuzz/corpus"
