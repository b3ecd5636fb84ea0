#!/usr/bin/env bash
# Installs the packages Melvo needs, on Debian or Ubuntu; does nothing when all of them are
# present already.
#   install-deps.sh        every package of the build, the tests and the benchmarks
#   install-deps.sh run    only what the program and the sample player need
set -euo pipefail

# The program, and make-sample-player, which writes a player with libgpod and tags its
# songs with TagLib.
run_packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-translations-l10n libxcb1-dev zlib1g-dev libtag1-dev libgpod-dev
)
# The tests, the sanitizer and fuzz builds, the style checks, the benchmarks.
test_packages=(
  libbenchmark-dev
  clang libclang-rt-14-dev clang-format clang-tidy
  xvfb xauth imagemagick time fonts-dejavu-core
  openbox
  desktop-file-utils appstream xdotool
  dpkg-dev lintian
  dbus-daemon
)

packages=("${run_packages[@]}")
case "${1:-all}" in
  run) ;;
  all) packages+=("${test_packages[@]}") ;;
  *)
    echo "usage: $0 [run]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
