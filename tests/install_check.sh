#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs there: the
# program, its menu entry and description (with the standard validators), and its icon;
# and what a terminal needs: the man page and the bash completion.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
id=io.github.melvo_app.Melvo
test -x "$prefix/bin/melvo"
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml"
test -f "$prefix/share/icons/hicolor/scalable/apps/$id.svg"
for size in 16 32 48 64 128 256; do
  test -f "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
# The commands' man page and completion; the commands start without a display.
test -f "$prefix/share/man/man1/melvo.1.gz"
bash -n "$prefix/share/bash-completion/completions/melvo"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/melvo" copy --help |
  grep -q -- '--existing'
echo "installed and valid: $(find "$prefix" -type f | wc -l) files"
