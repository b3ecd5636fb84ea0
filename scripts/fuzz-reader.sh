#!/usr/bin/env bash
# A short fuzz run of the database reader under ASan and UBSan, seeded with the hand-made
# fixtures, a sample player's database and the real databases where they are present, and
# given the record tags as its dictionary. Each run starts from the same place: the seeds
# alone, in a fresh corpus, and a fixed random seed (FUZZ_SEED to choose another).
# Usage: scripts/fuzz-reader.sh [SECONDS]   (needs the default build for the seeds)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
seed=${FUZZ_SEED:-1}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_reader

seeds=build/fuzz/seeds
corpus=build/fuzz/corpus
rm -rf "$seeds" "$corpus"
mkdir -p "$seeds" "$corpus"
build/default/tests/write-fixtures "$seeds"
build/default/tools/make-sample-player build/fuzz/sample --tracks 12 --playlists 2 --no-files >/dev/null
cp build/fuzz/sample/iPod_Control/iTunes/iTunesDB "$seeds/sample-player"
realdb=../shared/realdb
if [ -d "$realdb" ]; then
  for f in "$realdb"/*iTunesDB*; do cp "$f" "$seeds/"; done
fi
if [ -d ../shared/realsd ]; then
  for f in ../shared/realsd/*iTunesSD*; do cp "$f" "$seeds/"; done
fi

build/fuzz/tests/fuzz/fuzz_reader -seed="$seed" -dict=tests/fuzz/reader.dict \
  -max_total_time="$seconds" -max_len=262144 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$corpus" "$seeds"
