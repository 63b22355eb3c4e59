#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from its SVG. The PNGs are
# committed, so building needs no SVG renderer: run this after changing the
# SVG and commit what it writes.
#   data/icons/render.sh
set -euo pipefail
cd "$(dirname "$0")"

icon=io.github.quorin.Quorin
sizes=(16 32 48 64 128 256)

if ! command -v rsvg-convert >/dev/null 2>&1; then
  echo "render.sh needs rsvg-convert: apt-get install librsvg2-bin" >&2
  exit 1
fi

for size in "${sizes[@]}"; do
  mkdir -p "${size}x${size}"
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio \
    --output "${size}x${size}/${icon}.png" "${icon}.svg"
  echo "${size}x${size}/${icon}.png"
done
