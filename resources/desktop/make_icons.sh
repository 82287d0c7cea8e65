#!/usr/bin/env bash
# Makes the desktop's icons from the program's icon (../checkbook.ico, 32 x 32):
# hicolor/<size>x<size>/apps/checkbook.png at the sizes desktops ask for. The
# drawing is pixel art, so it grows by whole pixels and shrinks by averaging.
# Needs ImageMagick; the PNGs are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  if [ "$size" -gt 32 ]; then filter=(-filter point); else filter=(-filter box); fi
  convert "../checkbook.ico[0]" "${filter[@]}" -resize "${size}x${size}" -strip \
    "PNG32:hicolor/${size}x${size}/apps/checkbook.png"
done
