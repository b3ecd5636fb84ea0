#!/usr/bin/env bash
# Takes the README's screenshots in a real window on a virtual X display (Xvfb): the
# language question, the songs page, the options page, the overwrite prompt, the copy
# window and the no-player dialog, into docs/. Needs a build (make build) and the packages
# of scripts/install-deps.sh. Rerun it after changing a window.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${INSIDE_XVFB:-}" ]; then
  exec env INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1000x700x24" bash "$0" "$@"
fi

MELVO=build/default/src/melvo
WORK=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$WORK"' EXIT
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run"
unset LC_ALL LC_MESSAGES LANGUAGE
export LANG=C.UTF-8 # the language question offers the system's: English here
mkdir -p "$HOME/Music" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
build/default/tools/make-sample-player "$WORK/player" --tracks 60 --playlists 4 >/dev/null

shot() { sleep "${2:-1}"; import -window root "docs/$1.png"; echo "docs/$1.png"; }
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }

# A first start: the language question, answered with English (the system's, so Enter).
"$MELVO" --player "$WORK/player" &
shot frmLanguage 3
xdotool key Return
# The songs page, three songs ticked.
sleep 3
click 150 128; click 150 164; click 150 200
shot frmStart
# The options page.
click 108 32
shot options
click 25 32
# A song that is there already: the copy asks about it.
mkdir -p "$HOME/Music/Sigur Rós/Album 1"
echo "an older copy" > "$HOME/Music/Sigur Rós/Album 1/Straße 1.wav"
click 900 590
shot frmCopyError 2
xdotool key Return
shot frmCopy 2
xdotool key Return
sleep 1
kill %1 2>/dev/null || true
wait 2>/dev/null || true

# No player anywhere: the dialog that asks for one.
"$MELVO" &
shot frmNoiPod 3
kill %1 2>/dev/null || true
