#!/usr/bin/env bash
# Load time of a 40,000-song player against libgpod's parser, and the peak memory of a
# load against the database's size. Figures only; nothing here passes or fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
make_large_player "$PLAYER"
DB="$PLAYER/iPod_Control/iTunes/iTunesDB"
make_large_player "$PLAYER/compressed" --compressed
CDB="$PLAYER/compressed/iPod_Control/iTunes/iTunesCDB"
echo "database: $(stat -c %s "$DB") bytes, 40000 tracks, 100 playlists of 400"
MELVO_BENCH_DB="$DB" MELVO_BENCH_CDB="$CDB" "$BUILD/bench/reader_bench" --benchmark_format=console | tee "$PLAYER/bench.txt"
awk '/_median/ { t[$1] = $2 } END {
  g = t["BM_itdb_parse_file/repeats:5_median"]; m = t["BM_LoadiTunesDB/repeats:5_median"]
  c = t["BM_LoadCompressed/repeats:5_median"]
  printf "LoadiTunesDB %.1f ms, itdb_parse_file %.1f ms: %.2fx the time of libgpod\n", m, g, m / g
  printf "compressed (iTunesCDB) %.1f ms: %.2fx the time of the plain file\n", c, c / m }' "$PLAYER/bench.txt"
rss_kb=$(/usr/bin/time -f %M "$BUILD/tools/melvo-dump" "$DB" 2>&1 >/dev/null | tail -1)
awk -v r="$rss_kb" -v s="$(stat -c %s "$DB")" 'BEGIN { printf "melvo-dump peak RSS: %d kB, %.2fx the database size\n", r, r * 1024 / s }'
