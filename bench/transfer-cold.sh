#!/usr/bin/env bash
# The copy run against cp as a real copy meets the player: nothing read yet. The songs lie
# on the machine's disk, the copies go to memory (tmpfs), and the caches are dropped before
# every copy, so what is measured is the reading. Then once more with the disk's reads
# throttled to 25 MiB/s, about what a player gives over USB 2: there the disk is the limit
# (bytes / throttle), and a copy is as good as the share of it that it reaches.
# The run's figure is the copy itself, as transfer_bench times it: the program is started
# and the player loaded before the user asks for the copy. Each figure is the best of a few
# rounds, cp and the run taking turns at going first. Needs root (the caches, the cgroup).
# Figures only; nothing here passes or fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh

if ! is_root; then
  echo "transfer-cold.sh must run as root (sudo bash bench/transfer-cold.sh):" \
    "it drops the page cache and throttles a disk" >&2
  exit 1
fi

SRC=$(disk_folder)
REMOVE+=("$SRC")
OUT=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
REMOVE+=("$OUT")
echo "songs on $(df --output=source,fstype "$SRC" | tail -1 | tr -s ' '), copies in" \
  "$(df --output=fstype "$OUT" | tail -1)"

# cp's own program is read back at once: the run's start is not timed either, so each
# figure is the reading of the songs alone.
cold() { drop_caches; cp --version >/dev/null; }

# copy TOOL GROUP: one cold copy of every song into a fresh folder, prints its seconds.
copy() {
  local tool=$1 group=$2 s e
  rm -rf "$OUT/copy"
  mkdir "$OUT/copy"
  cold
  if [ "$tool" = cp ]; then
    s=$(now)
    inside "$group" cp -r "$SRC/player/iPod_Control/Music/." "$OUT/copy/"
    e=$(now)
    awk -v s="$s" -v e="$e" 'BEGIN { print e - s }'
  else
    inside "$group" "$BUILD/bench/transfer_bench" "$SRC/player" "$OUT/copy"
  fi
}

measure() { # name tracks bytes rounds [group]
  local name=$1 rounds=$4 group=${5:-} cps=() runs=() round order tool
  rm -rf "$SRC/player"
  "$BUILD/tools/make-sample-player" "$SRC/player" --tracks "$2" --playlists 1 \
    --per-playlist 1 --file-size "$3" >/dev/null
  for round in $(seq "$rounds"); do
    order="cp run"
    [ $((round % 2)) -eq 0 ] && order="run cp"
    for tool in $order; do
      if [ "$tool" = cp ]; then cps+=("$(copy cp "$group")"); else runs+=("$(copy run "$group")"); fi
    done
  done
  local a b
  a=$(best "${cps[@]}")
  b=$(best "${runs[@]}")
  if [ -z "$group" ]; then
    printf '%s, cold: cp %.3f s, copy run %.3f s: %s of cp'"'"'s speed\n' "$name" "$a" "$b" \
      "$(ratio "$a" "$b")"
  else
    local bytes limit
    bytes=$(du -sb "$SRC/player/iPod_Control/Music" | cut -f1)
    limit=$(awk -v b="$bytes" -v t="$THROTTLE" 'BEGIN { print b / t }')
    printf '%s, read at 25 MiB/s: the limit %.2f s, cp %.2f s (%s of it), copy run %.2f s (%s of it): %s of cp'"'"'s speed\n' \
      "$name" "$limit" "$a" "$(ratio "$limit" "$a")" "$b" "$(ratio "$limit" "$b")" "$(ratio "$a" "$b")"
  fi
}

measure "200 songs of 5 MB" 200 5242880 4
measure "2,000 songs of 50 KB" 2000 51200 4
if ! dev=$(disk_of "$SRC") || ! CGROUP=$(throttled_cgroup "$dev"); then
  echo "no throttle: the songs' disk or the machine's cgroups do not allow one" >&2
  exit 0
fi
measure "40 songs of 5 MB" 40 5242880 3 "$CGROUP"
