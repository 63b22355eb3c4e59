#!/usr/bin/env bash
# Times quorin-batch making PDFs of a ~1 MB and a ~10 MB RTF document (made
# from the sample templates, tables and lists by make_document.py), beside
# AbiWord's PDF of the same files in the same run, and reports seconds,
# peak memory and pages.
#
#   bench/pdf/run_pdf_bench.sh [SIZE_BYTES...]     (default: 1000000 10000000)
#
# QUORIN_BATCH names the program (default build/src/cli/quorin-batch);
# QUORIN_BATCH_BEFORE, when set, names another build of it (an earlier one)
# to time in the same run. bench_pagerenderer, when built, gives the time to
# the first page and the page count of the renderer alone; bench_print the
# window's printer printing the document to PDF and making its preview pages.
# Without abiword (apt-get install abiword) its column says so.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
batch=${QUORIN_BATCH:-$repo/build/src/cli/quorin-batch}
[ -x "$batch" ] || { echo "no quorin-batch at $batch (build it, or set QUORIN_BATCH)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (apt-get install time)" >&2; exit 1; }
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000000 10000000)
before=${QUORIN_BATCH_BEFORE:-}
renderer=${BENCH_PAGERENDERER:-$repo/build/bench/pdf/bench_pagerenderer}
printbench=${BENCH_PRINT:-$repo/build/bench/pdf/bench_print}
abiword=$(command -v abiword || true)
[ -n "$abiword" ] || echo "abiword is not installed (apt-get install abiword): its runs are skipped."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

pages() { command -v pdfinfo >/dev/null 2>&1 && pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ {print $2}' || echo "?"; }

# Runs a command under /usr/bin/time -v; prints "seconds peak-MB".
measure() {
  local log=$work/time.log
  if ! /usr/bin/time -v -o "$log" "$@" >"$work/run.out" 2>&1; then
    echo "failed: $(tail -1 "$work/run.out")" >&2
    echo "- -"
    return
  fi
  awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]}
              /Maximum resident set size/ {kb = $2}
              END {printf "%.2f %.0f\n", s, kb / 1024}' "$log"
}

printf '%-10s %-10s %9s %9s %7s\n' input program seconds "peak MB" pages
for size in "${sizes[@]}"; do
  doc=$work/doc-$size.rtf
  python3 "$here/make_document.py" "$size" "$doc" "$repo/samples" >/dev/null
  label="$(( $(stat -c %s "$doc") / 1000 )) KB"
  if [ -n "$before" ]; then
    read -r secs mb < <(measure "$before" convert "$doc" "$work/before-$size.pdf")
    printf '%-10s %-10s %9s %9s %7s\n' "$label" before "$secs" "$mb" "$(pages "$work/before-$size.pdf")"
  fi
  read -r secs mb < <(measure "$batch" convert "$doc" "$work/quorin-$size.pdf")
  printf '%-10s %-10s %9s %9s %7s\n' "$label" quorin "$secs" "$mb" "$(pages "$work/quorin-$size.pdf")"
  if [ -x "$renderer" ]; then
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$renderer" "$doc" --pages 1 2>/dev/null |
      awk -v label="$label" '/^first page/ {printf "%-10s %-10s first page in %s ms\n", label, "renderer", $3}'
  fi
  if [ -x "$printbench" ]; then
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
    read -r secs mb < <(measure "$printbench" "$doc" print "$work/print-$size.pdf")
    printf '%-10s %-10s %9s %9s %7s\n' "$label" print "$secs" "$mb" "$(pages "$work/print-$size.pdf")"
    read -r secs mb < <(measure "$printbench" "$doc" preview)
    printf '%-10s %-10s %9s %9s %7s   first page in %s ms\n' "$label" preview "$secs" "$mb" \
      "$(awk '/^all/ {print $2}' "$work/run.out")" "$(awk '/^first page/ {print $3}' "$work/run.out")"
  fi
  if [ -n "$abiword" ]; then
    read -r secs mb < <(measure "$abiword" --to=pdf --to-name="$work/abiword-$size.pdf" "$doc")
    printf '%-10s %-10s %9s %9s %7s\n' "$label" abiword "$secs" "$mb" "$(pages "$work/abiword-$size.pdf")"
  fi
done
