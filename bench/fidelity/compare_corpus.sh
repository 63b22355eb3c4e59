#!/usr/bin/env bash
# Compares Quorin's PDF of RTF files with LibreOffice's, word by word on the
# page (which words, on which page, which start a line, how far from the left
# edge), and prints one line per file and the medians.
#
#   bench/fidelity/compare_corpus.sh [--out DIR] [--shots N] FILE.rtf...
#
#   --out DIR    where the PDFs (lo/, quorin/) and pictures (shots/) go;
#                default: a temporary folder, removed at the end
#   --shots N    page 1 of the first N files side by side (LibreOffice left,
#                Quorin right) as PNG at 60 dpi, in DIR/shots
#
# Environment: QUORIN_BATCH (default build/src/cli/quorin-batch),
# LAYOUT_COMPARE (default ../shared/tools/layout_compare.py beside the
# repository). Needs soffice, and pdftotext for the comparison; without
# soffice it says so and exits 0, so a machine without LibreOffice skips it.
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
batch=${QUORIN_BATCH:-$repo/build/src/cli/quorin-batch}
compare=${LAYOUT_COMPARE:-$repo/../shared/tools/layout_compare.py}
out=
shots=0
files=()
while [ $# -gt 0 ]; do
  case $1 in
    --out) out=$2; shift 2 ;;
    --shots) shots=$2; shift 2 ;;
    -h|--help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) files+=("$1"); shift ;;
  esac
done
[ ${#files[@]} -gt 0 ] || { echo "usage: $0 [--out DIR] [--shots N] FILE.rtf..." >&2; exit 2; }

if ! command -v soffice >/dev/null 2>&1; then
  echo "soffice is not installed (apt-get install libreoffice-writer-nogui): nothing to compare with; skipped."
  exit 0
fi
for tool in pdftotext python3; do
  command -v $tool >/dev/null 2>&1 || { echo "$tool is missing (poppler-utils, python3)" >&2; exit 1; }
done
[ -x "$batch" ] || { echo "no quorin-batch at $batch (build it, or set QUORIN_BATCH)" >&2; exit 1; }
[ -f "$compare" ] || { echo "no layout_compare.py at $compare (set LAYOUT_COMPARE)" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
[ -n "$out" ] || out=$scratch/out
mkdir -p "$out/lo" "$out/quorin" "$out/shots"

# A profile of its own, so a LibreOffice the user has open is not disturbed.
soffice -env:UserInstallation=file://"$scratch/profile" --headless --convert-to pdf \
  --outdir "$out/lo" "${files[@]}" >"$scratch/soffice.log" 2>&1 || true

results=$scratch/results.tsv
: >"$results"
printf '%-48s %6s %6s %6s %6s %6s %9s\n' file text page lines x score "pages r/q"
n=0
for file in "${files[@]}"; do
  name=$(basename "${file%.*}")
  ref=$out/lo/$name.pdf
  ours=$out/quorin/$name.pdf
  if [ ! -s "$ref" ]; then
    printf '%-48s LibreOffice wrote no PDF\n' "$name"
    continue
  fi
  if ! "$batch" convert "$file" "$ours" 2>"$scratch/err"; then
    printf '%-48s quorin-batch failed: %s\n' "$name" "$(head -1 "$scratch/err")"
    continue
  fi
  json=$(python3 "$compare" "$ref" "$ours" --json)
  if [ "$json" = null ]; then
    printf '%-48s no words in the reference\n' "$name"
    continue
  fi
  python3 - "$name" "$json" "$results" <<'PY'
import json, sys
name, r, results = sys.argv[1], json.loads(sys.argv[2]), sys.argv[3]
print("%-48s %6.3f %6.3f %6.3f %6.3f %6.3f %4d/%-4d" % (name[:48], r["text"], r["page"], r["lines"],
      r["x"], r["score"], r["pages_ref"], r["pages_test"]))
with open(results, "a") as f:
    f.write("\t".join(str(r[k]) for k in ("text", "page", "lines", "x", "score")) + "\n")
PY
  n=$((n + 1))
  if [ "$n" -le "$shots" ] && command -v pdftoppm >/dev/null 2>&1; then
    pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$ref" "$out/shots/$name-lo"
    pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$ours" "$out/shots/$name-quorin"
    if command -v convert >/dev/null 2>&1; then
      convert "$out/shots/$name-lo.png" "$out/shots/$name-quorin.png" -background gray60 -splice 8x0 \
        +append "$out/shots/$name.png" && rm -f "$out/shots/$name-lo.png" "$out/shots/$name-quorin.png"
    fi
  fi
done

python3 - "$results" <<'PY'
import statistics, sys
rows = [list(map(float, l.split("\t"))) for l in open(sys.argv[1]) if l.strip()]
if rows:
    med = [statistics.median(c) for c in zip(*rows)]
    print("%-48s %6.3f %6.3f %6.3f %6.3f %6.3f" % ("median of %d files" % len(rows), *med))
PY
