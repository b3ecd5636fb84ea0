# Shared by the benchmark scripts: the build, a folder removed at the end, and the
# 40,000-song player they measure on (extra make-sample-player options pass through; a
# later --tracks wins, for a larger player).
BUILD=build/default
PLAYER=$(mktemp -d)
trap 'rm -rf "$PLAYER"' EXIT

# make_large_player DIR [OPTIONS...]
make_large_player() {
  local dir=$1
  shift
  "$BUILD/tools/make-sample-player" "$dir" --tracks 40000 --playlists 100 --per-playlist 400 \
    --no-files "$@" >/dev/null
}
