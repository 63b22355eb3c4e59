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
  out=${QUORIN_OUT:-$HOME/quorin-samples}
  mkdir -p "$out"
  echo "Merging the sample templates with quorin-batch instead:"
  for template in samples/*.tem; do
    name=$(basename "${template%.tem}")
    mode=()
    # The statutory declaration is a pre-printed form: values overwrite its blanks.
    case "$name" in StatutoryDeclaration) mode=(--overwrite) ;; esac
    build/src/cli/quorin-batch merge "$template" "samples/$name.inf" "${mode[@]}" -o "$out/$name.rtf"
    build/src/cli/quorin-batch convert "$out/$name.rtf" "$out/$name.txt"
  done
  echo "The finished documents are in $out (RTF, and plain text beside them)."
  exit 0
fi
exec build/src/app/quorin "$@"
