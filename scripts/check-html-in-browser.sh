#!/usr/bin/env bash
# Renders Quorin's HTML export in a real browser for a person to look at:
# the merged samples and a few corpus documents become HTML pages, and
# headless Chromium takes a screenshot of each.
#   scripts/check-html-in-browser.sh [OUT_DIR]
# Needs a built tree (scripts/test.sh) and Debian's chromium (installed
# when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
quorin_install chromium

out=${1:-$(mktemp -d)}
mkdir -p "$out"
batch=build/src/cli/quorin-batch
[ -x "$batch" ] || { echo "build quorin-batch first (scripts/test.sh)" >&2; exit 1; }

for template in samples/*.tem; do
  name=$(basename "${template%.tem}")
  mode=()
  case "$name" in StatutoryDeclaration) mode=(--overwrite) ;; esac
  "$batch" merge "$template" "samples/$name.inf" "${mode[@]}" -o "$out/$name.html" >/dev/null
done
corpus=../shared/corpus/rtf
if [ -d "$corpus" ]; then
  for doc in pandoc__writer pandoc__unicode pandoc__table_nested libreoffice__abi2128 rtfpipe__listword; do
    for f in "$corpus"/"$doc"*.rtf; do
      [ -f "$f" ] && "$batch" convert "$f" "$out/$(basename "${f%.rtf}").html"
    done
  done
else
  echo "no corpus at $corpus: only the samples are rendered"
fi

# The flags keep Chromium off the network and out of any sandbox it cannot
# have as root.
profile=$(mktemp -d)
for page in "$out"/*.html; do
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --window-size=1000,1300 \
    --screenshot="${page%.html}.png" "file://$(realpath "$page")" >/dev/null 2>&1 \
    || echo "chromium could not render $page" >&2
done
rm -rf "$profile"
echo "Pages and their screenshots are in $out"
