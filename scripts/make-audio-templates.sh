#!/usr/bin/env bash
# Remakes the audio templates in data/audio: a second of a quiet tone per song type, mono,
# at a low bit rate, with no tags at all. The tests and the sample player tag copies of them
# with TagLib, so only this script needs an encoder: ffmpeg (apt-get install ffmpeg), which
# is not a build or test dependency. The files are kept in the repository; run this only to
# change them.
set -euo pipefail

command -v ffmpeg >/dev/null || { echo "make-audio-templates: needs ffmpeg (apt-get install ffmpeg)" >&2; exit 1; }
out="$(cd "$(dirname "$0")/.." && pwd)/data/audio"
mkdir -p "$out"

tone=(-f lavfi -i "sine=frequency=440:duration=1" -af "volume=0.2")
# No metadata of any kind, and the same bytes on every run.
plain=(-hide_banner -loglevel error -y -map_metadata -1 -fflags +bitexact -flags:a +bitexact)

ffmpeg "${tone[@]}" "${plain[@]}" -ac 1 -ar 22050 -c:a libmp3lame -b:a 32k \
  -id3v2_version 0 -write_id3v1 0 "$out/template.mp3"
ffmpeg "${tone[@]}" "${plain[@]}" -ac 1 -ar 22050 -c:a aac -b:a 32k -f ipod "$out/template.m4a"
ffmpeg "${tone[@]}" "${plain[@]}" -ac 1 -ar 22050 -c:a aac -b:a 32k -f mp4 "$out/template.mp4"
ffmpeg "${tone[@]}" "${plain[@]}" -ac 1 -ar 8000 -c:a pcm_u8 "$out/template.wav"

ls -l "$out"
