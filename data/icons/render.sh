#!/bin/sh
# Renders the icon's PNG sizes from its drawings (needs rsvg-convert, Debian
# package librsvg2-bin). The 16-pixel size has a drawing of its own, made on
# that pixel grid so that it stays sharp. Run from anywhere; writes beside itself.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
rsvg-convert -w 16 -h 16 "$here/umbrill-16.svg" -o "$here/umbrill-16.png"
for size in 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$here/umbrill.svg" -o "$here/umbrill-$size.png"
done
