#!/usr/bin/env bash
# Packs the build as `make package` does and checks the .deb: it holds exactly what
# `cmake --install` lays out, its dependencies came from dpkg-shlibdeps, the program
# unpacked from it starts on the system's Qt, and lintian finds no error in it.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null
deb=$(echo "$work"/out/melvo_*.deb)
test -f "$deb"

# The same files as a plain install into /usr, no more and no fewer.
DESTDIR="$work/plain" cmake --install "$build" --prefix /usr >/dev/null
(cd "$work/plain" && find . ! -type d | sort) >"$work/installed"
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/packed"
diff -u "$work/installed" "$work/packed"

dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6
dpkg-deb --field "$deb" Depends | grep -q libqt6dbus6
dpkg-deb --field "$deb" Recommends | grep -q qt6-translations-l10n
dpkg-deb --field "$deb" Recommends | grep -q qt6-wayland
dpkg-deb --field "$deb" Section | grep -qx sound
dpkg -x "$deb" "$work/root"
grep -q '^License: GPL-3.0-or-later' "$work/root/usr/share/doc/melvo/copyright"
zcat "$work/root/usr/share/doc/melvo/changelog.gz" | head -1 |
  grep -q "^melvo ($(dpkg-deb --field "$deb" Version)) "
if readelf -S "$work/root/usr/bin/melvo" | grep -q '\.debug_'; then
  echo "the packed program is not stripped" >&2
  exit 1
fi
QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/melvo" --help | grep -q -- '--player'

# No error, and the man page is there and reads cleanly.
lintian --allow-root --fail-on error "$deb" | tee "$work/lintian"
if grep -E 'no-manual-page|groff-message|manpage' "$work/lintian"; then
  exit 1
fi
echo "packed and clean: $(basename "$deb"), $(wc -l <"$work/packed") files"
