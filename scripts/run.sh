#!/usr/bin/env bash
# Sets up, builds and starts the Quorin editor. Without a display it says so
# and converts a sample document with the command-line tool instead.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
quorin_install "${QUORIN_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quorin quorin-batch

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): the editor needs one."
  out=$(mktemp -d)
  for sample in samples/*.rtf samples/*.tem samples/*.TEM; do
    [ -f "$sample" ] || continue
    name=$(basename "${sample%.*}")
    build/src/cli/quorin-batch convert "$sample" "$out/$name.txt"
    build/src/cli/quorin-batch convert "$sample" "$out/$name.rtf"
  done
  echo "Converted the samples with quorin-batch instead; the results are in $out"
  exit 0
fi
exec build/src/app/quorin "$@"
