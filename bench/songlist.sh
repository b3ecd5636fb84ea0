#!/usr/bin/env bash
# The song list on a 40,000-song player: the master list built, a search keystroke, a tick
# with its recount, and the first load to a sorted list on screen beside libgpod's parse.
# Figures only; nothing here passes or fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
make_large_player "$PLAYER"
DB="$PLAYER/iPod_Control/iTunes/iTunesDB"
MELVO_BENCH_DB="$DB" "$BUILD/bench/songlist_bench" --benchmark_format=console | tee "$PLAYER/bench.txt"
awk '/_median/ { sub("/repeats:5_median", "", $1); t[$1] = $2 } END {
  g = t["BM_itdb_parse_file"]
  printf "master list of 40,000 rows built: %.1f ms\n", t["BM_BuildMasterList"]
  printf "one search keystroke: %.2f ms\n", t["BM_SearchKeystroke"]
  printf "one tick with its recount: %.3f ms\n", t["BM_TickWithRecount"]
  f = t["BM_FirstLoadToSortedList"]
  printf "first load to a sorted list on screen: %.1f ms; libgpod parse %.1f ms; %.2fx libgpod, budget half of it + 150 ms = %.1f ms\n", f, g, f / g, g / 2 + 150 }' "$PLAYER/bench.txt"
