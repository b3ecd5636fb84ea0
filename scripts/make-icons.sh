#!/usr/bin/env bash
# Renders the program's icon (data/icons/*.svg) into the PNG sizes the desktop asks for.
# The PNGs are kept in the repository; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
id=io.github.melvo_app.Melvo
for size in 16 32 48 64 128 256; do
  convert -background none -density 300 "$id.svg" -resize "${size}x${size}" "$id-$size.png"
done
