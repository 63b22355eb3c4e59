#!/bin/bash
# Converts generated rich-edit style RTF of 1, 10 and 50 MB to HTML with our
# converter and, on the same files in the same run, with unrtf, pandoc and
# LibreOffice; prints wall time and peak memory of each side by side.
#
#   bench/compare_html.sh [build-dir]      (default: build beside this script)
#   SIZES="1 10" bench/compare_html.sh     to choose the sizes in MB
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
sizes=${SIZES:-"1 10 50"}
work=$(mktemp -d /tmp/compare-html.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Our converter: the bench target when the build has it, else compiled here
# against the build's html library.
bench=${BENCH_HTML:-$build/bench/html/bench_html}
if [ ! -x "$bench" ]; then
  lib=$build/src/html/libhtml.a
  if [ ! -f "$lib" ]; then
    echo "No bench_html and no $lib: build the html target first." >&2
    exit 1
  fi
  bench=$work/bench_html
  c++ -std=c++20 -O2 -I"$here/../src/html" "$here/bench_html.cpp" "$lib" -o "$bench" || exit 1
fi

# The peers, installed when missing and possible.
ensure() { # command package
  command -v "$1" >/dev/null 2>&1 && return 0
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "Installing $2 for $1 ..." >&2
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$2"; } >/dev/null 2>&1
  fi
  command -v "$1" >/dev/null 2>&1 || { echo "Skipping $1: not installed and $2 could not be installed." >&2; return 1; }
}
have_unrtf=0; have_pandoc=0; have_soffice=0
ensure unrtf unrtf && have_unrtf=1
ensure pandoc pandoc && have_pandoc=1
ensure soffice libreoffice-writer-nogui && have_soffice=1

TIME=/usr/bin/time
if [ ! -x $TIME ]; then
  echo "/usr/bin/time is needed (package time)." >&2
  exit 1
fi

# run <label> <size> <command...>: prints one row from /usr/bin/time -v.
# pandoc gets 300 s and soffice 120 s; a run that hits its limit says so.
run() {
  local label=$1 size=$2; shift 2
  local log=$work/time.log
  "$TIME" -v "$@" >"$work/out.txt" 2>"$log"
  local status=$?
  local wall rss
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$log")
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$log")
  local note=""
  [ $status -ne 0 ] && note="(exit $status)"
  [ $status -eq 124 ] && note="(timed out)"
  printf '%-10s %6s MB  %12s  %10s MB  %s\n' "$label" "$size" "$wall" "$((rss / 1024))" "$note"
}

printf '%-10s %9s  %12s  %13s\n' tool input "wall time" "peak memory"
for size in $sizes; do
  rtf=$work/doc$size.rtf
  "$bench" generate "$size" "$rtf" || exit 1
  run quorin "$size" "$bench" convert "$rtf" "$work/quorin.html"
  [ $have_unrtf = 1 ] && run unrtf "$size" sh -c "unrtf --html '$rtf' > '$work/unrtf.html'"
  [ $have_pandoc = 1 ] && run pandoc "$size" timeout 300 pandoc -f rtf -t html -o "$work/pandoc.html" "$rtf"
  [ $have_soffice = 1 ] && run soffice "$size" timeout 120 soffice --headless --convert-to html --outdir "$work/soffice" "$rtf"
  rm -f "$rtf" "$work"/*.html
done
