# shellcheck shell=bash
# Shared by the benchmark scripts: the build, folders removed at the end, the 40,000-song
# player they measure on (extra make-sample-player options pass through; a later --tracks
# wins, for a larger player), and the cold runs' tools: the page cache dropped, and a disk's
# reads throttled through a cgroup.
BUILD=build/default
PLAYER=$(mktemp -d)
# Folders removed at the end (a script adds its own), and the throttled cgroup, if any.
REMOVE=("$PLAYER")
CGROUP=
cleanup() {
  rm -rf "${REMOVE[@]}"
  if [ -n "$CGROUP" ]; then rmdir "$CGROUP" 2>/dev/null || true; fi
}
trap cleanup EXIT

# make_large_player DIR [OPTIONS...]
make_large_player() {
  local dir=$1
  shift
  "$BUILD/tools/make-sample-player" "$dir" --tracks 40000 --playlists 100 --per-playlist 400 \
    --no-files "$@" >/dev/null
}

now() { date +%s.%N; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
best() { printf '%s\n' "$@" | sort -g | head -1; }

# About what a player gives over USB 2.
THROTTLE=$((25 * 1024 * 1024))

# Whether this runs as root, as dropping the caches and throttling a disk need.
is_root() { [ "$(id -u)" -eq 0 ] && [ -w /proc/sys/vm/drop_caches ]; }

drop_caches() {
  sync
  echo 3 > /proc/sys/vm/drop_caches
}

# disk_folder: a new folder on the machine's disk (MELVO_COLD_DIR, default /var/tmp), which
# the caller adds to REMOVE; fails where that folder is in memory.
disk_folder() {
  local dir
  dir=$(mktemp -d -p "${MELVO_COLD_DIR:-/var/tmp}")
  if [ "$(df --output=fstype "$dir" | tail -1)" = tmpfs ]; then
    rmdir "$dir"
    echo "${MELVO_COLD_DIR:-/var/tmp} is in memory; set MELVO_COLD_DIR to a folder on a disk" >&2
    return 1
  fi
  echo "$dir"
}

# disk_of DIR: the whole disk under DIR's file system (MAJ:MIN): a throttle is set on a
# disk, not a partition.
disk_of() {
  local dev
  dev=$(findmnt -no MAJ:MIN -T "$1" | tr -d ' ')
  [ -e "/sys/dev/block/$dev" ] || return 1
  if [ -e "/sys/dev/block/$dev/partition" ]; then
    cat "$(readlink -f "/sys/dev/block/$dev")/../dev"
  else
    echo "$dev"
  fi
}

# throttled_cgroup DEV: a new cgroup whose reads from the disk are throttled; prints its
# folder (the caller keeps it in CGROUP, removed at the end).
throttled_cgroup() {
  local dev=$1 group
  if [ -d /sys/fs/cgroup/blkio ]; then
    group=/sys/fs/cgroup/blkio/melvo-bench.$$
    mkdir "$group"
    echo "$dev $THROTTLE" > "$group/blkio.throttle.read_bps_device"
  elif grep -qw io /sys/fs/cgroup/cgroup.controllers 2>/dev/null; then
    echo +io > /sys/fs/cgroup/cgroup.subtree_control
    group=/sys/fs/cgroup/melvo-bench.$$
    mkdir "$group"
    echo "$dev rbps=$THROTTLE" > "$group/io.max"
  else
    return 1
  fi
  echo "$group"
}

# bytes_read GROUP DEV: the bytes the cgroup's processes have read from the disk so far.
bytes_read() {
  local group=$1 dev=$2
  if [ -f "$group/blkio.throttle.io_service_bytes" ]; then
    awk -v d="$dev" '$1 == d && $2 == "Read" { n += $3 } END { print n + 0 }' \
      "$group/blkio.throttle.io_service_bytes"
  else
    awk -v d="$dev" '$1 == d { for (i = 2; i <= NF; i++) if ($i ~ /^rbytes=/) n += substr($i, 8) }
      END { print n + 0 }' "$group/io.stat"
  fi
}

# inside GROUP COMMAND...: runs the command in the cgroup (none: as it is).
inside() {
  local group=$1
  shift
  if [ -n "$group" ]; then
    sh -c 'echo $$ > "$0/cgroup.procs" && exec "$@"' "$group" "$@"
  else
    "$@"
  fi
}
