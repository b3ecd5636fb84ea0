#!/usr/bin/env bash
# The song list on a 40,000-song player: the master list built, a search keystroke, a tick
# with its recount, and the first load to a sorted list on screen beside libgpod's parse.
# Then one keystroke of the main window's search box, through the window's model and its
# list laid out and painted, on that player and on a 150,000-song one, unsorted and sorted,
# beside the same keystroke at 40,000 songs and a plain loop over the 150,000 search texts.
# Figures only; nothing here passes or fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
make_large_player "$PLAYER"
DB="$PLAYER/iPod_Control/iTunes/iTunesDB"
start=$(date +%s%N)
make_large_player "$PLAYER/large" --tracks 150000
made_ms=$((($(date +%s%N) - start) / 1000000))
LARGE="$PLAYER/large/iPod_Control/iTunes/iTunesDB"
MELVO_BENCH_DB="$DB" MELVO_BENCH_LARGE_DB="$LARGE" "$BUILD/bench/songlist_bench" \
  --benchmark_format=console | tee "$PLAYER/bench.txt"
echo "150,000-song player made in $((made_ms / 1000)).$((made_ms % 1000 / 100)) s"
awk '/_median/ { sub("(/iterations:[0-9]+)?/repeats:5_median", "", $1); t[$1] = $2 } END {
  g = t["BM_itdb_parse_file"]
  printf "master list of 40,000 rows built: %.1f ms\n", t["BM_BuildMasterList"]
  printf "one search keystroke: %.2f ms\n", t["BM_SearchKeystroke"]
  printf "one tick with its recount: %.3f ms\n", t["BM_TickWithRecount"]
  f = t["BM_FirstLoadToSortedList"]
  printf "first load to a sorted list on screen: %.1f ms; libgpod parse %.1f ms; %.2fx libgpod, budget half of it + 150 ms = %.1f ms\n", f, g, f / g, g / 2 + 150
  p = t["BM_PlainHaystackLoop"]
  printf "one keystroke in the window, 150,000 songs (40,000 songs; ratio to 40,000; ratio to a plain loop over the 150,000 search texts, %.2f ms):\n", p
  split("FirstLetter NextLetter Backspace Clear", kind, " ")
  split("first letter|next letter|backspace|last letter taken back", label, "|")
  worst = 0
  for (s = 0; s <= 1; s++) for (k = 1; k <= 4; k++) {
    large = t["BM_Window" kind[k] "/1/" s]; small = t["BM_Window" kind[k] "/0/" s]
    if (large > worst) { worst = large; worstSmall = small; worstName = label[k] (s ? ", sorted" : "") }
    printf "  %-30s %6.1f ms (%5.1f ms; %.2fx; %.1fx)\n", label[k] (s ? ", sorted" : ""), large, small, large / small, large / p
  }
  printf "slowest keystroke at 150,000 songs: %s, %.1f ms = %.2fx the same keystroke at 40,000 songs, %.1fx the plain loop\n", worstName, worst, worst / worstSmall, worst / p }' "$PLAYER/bench.txt"
