#!/usr/bin/env bash
# Installs every package that building, running and testing Melvo needs, on Debian or Ubuntu.
# Does nothing when all of them are present already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev zlib1g-dev libtag1-dev
  libgpod-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format clang-tidy
  xvfb xauth imagemagick time fonts-dejavu-core
  libxcb1-dev openbox
  desktop-file-utils appstream xdotool
  dpkg-dev lintian
  dbus-daemon
)

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
