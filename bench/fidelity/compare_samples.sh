#!/usr/bin/env bash
# The fidelity comparison on documents of our own written in LibreOffice (a
# letter with a letterhead and footer, a form with leader lines and boxed
# notes, a numbered outline with bullets, a table-heavy statement): each
# samples/*.fodt is saved as RTF by LibreOffice, then compare_corpus.sh puts
# LibreOffice's PDF of that RTF beside ours.
#
#   bench/fidelity/compare_samples.sh [--out DIR] [--shots N]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v soffice >/dev/null 2>&1; then
  echo "soffice is not installed (apt-get install libreoffice-writer-nogui): nothing to compare with; skipped."
  exit 0
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
soffice -env:UserInstallation=file://"$scratch/profile" --headless --convert-to rtf \
  --outdir "$scratch/rtf" "$here"/samples/*.fodt >"$scratch/soffice.log" 2>&1
bash "$here/compare_corpus.sh" "$@" "$scratch"/rtf/*.rtf
