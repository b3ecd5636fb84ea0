#!/usr/bin/env bash
# The copy run against cp on the same files of a sample player: 200 songs of 5 MB and
# 2,000 of 50 KB, into an empty folder and again over the existing files (unattended
# overwrite). Whichever copies second after a fresh folder is slowed by the kernel's
# handling of the first one's pages, so the two take turns at going first, and each figure
# is the best of six. The ratio is cp's time over the run's: 1.00 means as fast as cp.
# Then the same on the machine's disk (MELVO_DISK_DIR, default /var/tmp), where the run
# makes its copies durable (a replaced file's bytes before its rename, the whole file
# system before it says it is done): there it is weighed against cp alone and against cp
# followed by a sync of the same file system, which is what the run promises.
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

# copy TOOL PLAYER OUT [--overwrite]: one copy of every song, prints its seconds. TOOL is
# cp, cpsync (cp, then a sync of the output's file system) or run.
copy() {
  local tool=$1 player=$2 out=$3 s e
  if [ "$tool" = cp ] || [ "$tool" = cpsync ]; then
    sync; s=$(now); cp -r "$player/iPod_Control/Music/." "$out/"
    [ "$tool" = cpsync ] && sync -f "$out"
    e=$(now)
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

# On the disk, five rounds, the three tools in turn: each copy there waits for the disk.
measure_on_disk() { # name tracks bytes
  local name=$1 player="$WORK/player" disk cp=() cps=() run=() cpo=() cpso=() runo=() round
  disk=$(mktemp -d -p "${MELVO_DISK_DIR:-/var/tmp}")
  "$BUILD/tools/make-sample-player" "$player" --tracks "$2" --playlists 1 --per-playlist 1 --file-size "$3" >/dev/null
  for round in 1 2 3 4 5; do
    rm -rf "$disk"/*; mkdir -p "$disk/cp" "$disk/cps" "$disk/run"
    cp+=("$(copy cp "$player" "$disk/cp")"); cps+=("$(copy cpsync "$player" "$disk/cps")")
    run+=("$(copy run "$player" "$disk/run")")
    cpo+=("$(copy cp "$player" "$disk/cp")"); cpso+=("$(copy cpsync "$player" "$disk/cps")")
    runo+=("$(copy run "$player" "$disk/run" --overwrite)")
  done
  local a b c d e f
  a=$(best "${cp[@]}"); b=$(best "${cps[@]}"); c=$(best "${run[@]}")
  d=$(best "${cpo[@]}"); e=$(best "${cpso[@]}"); f=$(best "${runo[@]}")
  printf '%s on %s, empty folder: cp %.3f s, cp+sync %.3f s, copy run %.3f s: %s of cp'"'"'s speed, %s of cp+sync'"'"'s\n' \
    "$name" "$(df --output=fstype "$disk" | tail -1)" "$a" "$b" "$c" "$(ratio "$a" "$c")" "$(ratio "$b" "$c")"
  printf '%s on the disk, over existing files: cp %.3f s, cp+sync %.3f s, copy run %.3f s: %s of cp'"'"'s speed, %s of cp+sync'"'"'s\n' \
    "$name" "$d" "$e" "$f" "$(ratio "$d" "$f")" "$(ratio "$e" "$f")"
  rm -rf "$player" "$disk"
}
measure_on_disk "200 songs of 5 MB" 200 5242880
measure_on_disk "2,000 songs of 50 KB" 2000 51200
