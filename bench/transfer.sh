#!/usr/bin/env bash
# The copy run against cp on the same files of a sample player: 200 songs of 5 MB and
# 2,000 of 50 KB, into an empty folder and again over the existing files (unattended
# overwrite). Whichever copies second after a fresh folder is slowed by the kernel's
# handling of the first one's pages, so the two take turns at going first, and each figure
# is the best of six. The ratio is cp's time over the run's: 1.00 means as fast as cp.
# Figures only; nothing here passes or fails.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build/default
# In memory where the machine has room (tmpfs), so that the disk's write-back of earlier
# runs, which swings from run to run on a shared machine, does not decide the figures.
WORK=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
echo "measured in $(df --output=fstype "$WORK" | tail -1): $WORK"
trap 'rm -rf "$WORK"' EXIT

now() { date +%s.%N; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
best() { printf '%s\n' "$@" | sort -g | head -1; }

# copy TOOL PLAYER OUT [--overwrite]: one copy of every song, prints its seconds.
copy() {
  local tool=$1 player=$2 out=$3 s e
  if [ "$tool" = cp ]; then
    sync; s=$(now); cp -r "$player/iPod_Control/Music/." "$out/"; e=$(now)
    awk -v s="$s" -v e="$e" 'BEGIN { print e - s }'
  else
    sync; "$BUILD/bench/transfer_bench" "$player" "$out" ${4:-}
  fi
}

measure() { # name tracks bytes
  local name=$1 player="$WORK/player"
  "$BUILD/tools/make-sample-player" "$player" --tracks "$2" --playlists 1 --per-playlist 1 --file-size "$3" >/dev/null
  local cpNew=() cpOver=() runNew=() runOver=() round order
  for round in 1 2 3 4 5 6; do
    order="cp run"; [ $((round % 2)) -eq 0 ] && order="run cp"
    rm -rf "$WORK/cp" "$WORK/run"; mkdir -p "$WORK/cp" "$WORK/run"
    for tool in $order; do
      if [ "$tool" = cp ]; then cpNew+=("$(copy cp "$player" "$WORK/cp")")
      else runNew+=("$(copy run "$player" "$WORK/run")"); fi
    done
    for tool in $order; do
      if [ "$tool" = cp ]; then cpOver+=("$(copy cp "$player" "$WORK/cp")")
      else runOver+=("$(copy run "$player" "$WORK/run" --overwrite)"); fi
    done
  done
  local a b c d
  a=$(best "${cpNew[@]}"); b=$(best "${runNew[@]}"); c=$(best "${cpOver[@]}"); d=$(best "${runOver[@]}")
  printf '%s, empty folder: cp %.3f s, copy run %.3f s: %s of cp'"'"'s speed\n' "$name" "$a" "$b" "$(ratio "$a" "$b")"
  printf '%s, over existing files: cp %.3f s, copy run %.3f s: %s of cp'"'"'s speed\n' "$name" "$c" "$d" "$(ratio "$c" "$d")"
  rm -rf "$player" "$WORK/cp" "$WORK/run"
}

measure "200 songs of 5 MB" 200 5242880
measure "2,000 songs of 50 KB" 2000 51200
