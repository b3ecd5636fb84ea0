#!/usr/bin/env bash
# Reading the songs of a player without a database from their own tags: a player of 5,000
# tagged song files, each figure beside its reference measured in the same run.
# - The warm scan (the files listed, then read on the scanner's thread, no cache) against a
#   bare loop of TagLib over the same files: the library's own cost.
# - The second opening (the same, the tags taken from the cache) against the database load
#   of a player of as many songs: until the list holds every song, and until every file was
#   looked at (the cached rows come first, the check of their files after).
# - As root (sudo bash bench/scan.sh), with nothing read yet and the disk's reads throttled
#   to 25 MiB/s, about what a player gives over USB 2: the scan and the database load (of as
#   many songs, and of 40,000) against the limit, the bytes read from the disk / the
#   throttle, each beside the plain reading of the same files whole (the kernel's throttle
#   lets a few megabytes through at once when a read starts, so a short read can pass the
#   limit); and the second opening against the database load, both cold.
# Each figure is the best of a few runs, the kinds taking turns. Figures only; nothing here
# passes or fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
BENCH="$BUILD/bench/scan_bench"

# On the machine's disk where it can be, for the cold part; the warm part reads from memory
# either way.
ON_DISK=yes
if ! WORK=$(disk_folder 2>/dev/null); then
  WORK=$PLAYER
  ON_DISK=
fi
REMOVE+=("$WORK")
SONGS="$WORK/player"
CACHE="$WORK/cache"
DB="$WORK/db/iPod_Control/iTunes/iTunesDB"
# Every type the generator writes is one a player plays, and the scan reads them all.
"$BUILD/tools/make-sample-player" "$SONGS" --tracks 5000 --no-database >/dev/null
"$BUILD/tools/make-sample-player" "$WORK/db" --tracks 5000 --playlists 12 --per-playlist 400 \
  --no-files >/dev/null
"$BENCH" cached "$SONGS" "$CACHE" 1 >/dev/null 2>&1 # fills the cache
echo "player: $(du -sb "$SONGS/iPod_Control/Music" | cut -f1) bytes of song files, no database;" \
  "the database of as many songs: $(stat -c %s "$DB") bytes"

ms() { awk -v s="$1" 'BEGIN { printf "%.1f", s * 1000 }'; }

taglib=() scan=() cached=() load=()
for _ in 1 2 3; do
  taglib+=("$("$BENCH" taglib "$SONGS" 3 2>/dev/null)")
  scan+=("$("$BENCH" scan "$SONGS" 3 2>/dev/null)")
  cached+=("$("$BENCH" cached "$SONGS" "$CACHE" 5 2>/dev/null)")
  load+=("$("$BENCH" load "$DB" 5 2>/dev/null)")
done
"$BENCH" scan "$SONGS" 1 >/dev/null # its counts, once
"$BENCH" cached "$SONGS" "$CACHE" 1 >/dev/null
# The cached runs print the time until the list is whole, then until every file was looked at.
whole=() checked=()
for run in "${cached[@]}"; do
  whole+=("${run%% *}")
  checked+=("${run##* }")
done
t=$(best "${taglib[@]}") s=$(best "${scan[@]}") c=$(best "${whole[@]}") l=$(best "${load[@]}")
k=$(best "${checked[@]}")
echo "warm scan of 5,000 files: $(ms "$s") ms; a bare loop of TagLib over them $(ms "$t") ms:" \
  "$(ratio "$t" "$s") of its speed (target at least 0.9)"
echo "second opening with the cache, until the list holds every song: $(ms "$c") ms; the" \
  "database load of 5,000 songs $(ms "$l") ms: $(ratio "$c" "$l")x its time (target at most 2);" \
  "until every file was looked at: $(ms "$k") ms, $(ratio "$k" "$l")x"

if ! is_root; then
  echo "the cold part needs root (sudo bash bench/scan.sh): it drops the page cache and" \
    "throttles a disk; stopped here" >&2
  exit 0
fi
if [ -z "$ON_DISK" ]; then
  echo "${MELVO_COLD_DIR:-/var/tmp} is in memory: no cold part; set MELVO_COLD_DIR to a" \
    "folder on a disk" >&2
  exit 0
fi
if ! dev=$(disk_of "$WORK") || ! CGROUP=$(throttled_cgroup "$dev"); then
  echo "no throttle: the disk or the machine's cgroups do not allow one; no cold part" >&2
  exit 0
fi
make_large_player "$WORK/large"
LARGE="$WORK/large/iPod_Control/iTunes/iTunesDB"
echo "cold, read through $(df --output=source,fstype "$WORK" | tail -1 | tr -s ' ') at" \
  "25 MiB/s; the database of 40,000 songs: $(stat -c %s "$LARGE") bytes"

# cold ARGS...: one run of scan_bench with nothing read yet but the program itself, in the
# throttled cgroup; prints its seconds and the bytes it read from the disk.
cold() {
  local before after seconds libraries
  drop_caches
  mapfile -t libraries < <(ldd "$BENCH" | awk '$2 == "=>" && $3 ~ /^\// { print $3 }')
  cat "$BENCH" "${libraries[@]}" >/dev/null
  before=$(bytes_read "$CGROUP" "$dev")
  seconds=$(inside "$CGROUP" "$BENCH" "$@" 1 2>/dev/null)
  seconds=${seconds%% *} # of a cached run, until the list is whole
  after=$(bytes_read "$CGROUP" "$dev")
  echo "$seconds $((after - before))"
}
# fastest "SECONDS BYTES"...: the fastest run's line.
fastest() { printf '%s\n' "$@" | sort -g | head -1; }
# against_limit NAME "SECONDS BYTES" "SECONDS BYTES": a run and the plain reading of the same
# files, both against the limit.
against_limit() {
  local seconds bytes plain
  read -r seconds bytes <<<"$2"
  plain=${3%% *}
  awk -v n="$1" -v s="$seconds" -v b="$bytes" -v p="$plain" -v t="$THROTTLE" 'BEGIN {
    printf "%s: %.2f s, %.1f MB read from the disk: the limit %.2f s, %.2f of it (the same files read whole: %.2f s, %.2f of it)\n",
      n, s, b / 1e6, b / t, b / t / s, p, b / t / p }'
}

scan=() small=() large=() cached=() readSongs=() readSmall=() readLarge=()
for _ in 1 2 3; do
  scan+=("$(cold scan "$SONGS")")
  readSongs+=("$(cold read "$SONGS")")
  small+=("$(cold load "$DB")")
  readSmall+=("$(cold read "$DB")")
  large+=("$(cold load "$LARGE")")
  readLarge+=("$(cold read "$LARGE")")
  cached+=("$(cold cached "$SONGS" "$CACHE")")
done
s=$(fastest "${scan[@]}") l=$(fastest "${small[@]}") c=$(fastest "${cached[@]}")
against_limit "cold scan of 5,000 files" "$s" "$(fastest "${readSongs[@]}")"
against_limit "cold database load of 5,000 songs" "$l" "$(fastest "${readSmall[@]}")"
against_limit "cold database load of 40,000 songs (target at least 0.97)" \
  "$(fastest "${large[@]}")" "$(fastest "${readLarge[@]}")"
echo "cold second opening with the cache: $(ms "${c%% *}") ms ($(awk -v b="${c##* }" \
  'BEGIN { printf "%.1f", b / 1e6 }') MB read); the cold database load of 5,000 songs" \
  "$(ms "${l%% *}") ms: $(ratio "${c%% *}" "${l%% *}")x its time"
