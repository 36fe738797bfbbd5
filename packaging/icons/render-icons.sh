#!/usr/bin/env bash
# Renders the PNG sizes of the icon from its SVG (needs rsvg-convert, Debian's librsvg2-bin).
# The PNGs are kept in the repository, so a build needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" org.tarvelin.SpriteViewer.svg -o "${size}x${size}/org.tarvelin.SpriteViewer.png"
done
