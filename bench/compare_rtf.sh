#!/bin/bash
# Side by side: our rich-text engine (bench_rtf) and other converters on the
# same generated rich-edit style RTF files of about 1 MB and 10 MB.
#
#   bench/compare_rtf.sh [build-dir]
#
# Each peer converts RTF to plain text: pandoc -f rtf -t plain, unrtf --text,
# soffice --headless --convert-to txt. A missing tool is installed with
# apt-get when possible and skipped with a message otherwise. LibreOffice gets
# at most 120 s per file.
set -u

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
bench=$build/bench/bench_rtf
if [ ! -x "$bench" ]; then
    echo "no $bench: build the bench_rtf target first" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# tool package: installs the package when the tool is missing.
ensure() {
    command -v "$1" >/dev/null 2>&1 && return 0
    if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
        echo "installing $2 for $1 ..." >&2
        apt-get install -y "$2" >/dev/null 2>&1 \
            || { apt-get update >/dev/null 2>&1 && apt-get install -y "$2" >/dev/null 2>&1; }
    fi
    command -v "$1" >/dev/null 2>&1 && return 0
    echo "skipping $1: not installed and could not be installed" >&2
    return 1
}

echo "== Quorin engine (bench_rtf) =="
QT_QPA_PLATFORM=offscreen "$bench" --out "$work" | tee "$work/ours.txt"
echo

# label limit command...: runs the command, records "seconds peak-MB" or a
# failure note in $work/result.
run() {
    local limit=$1; shift
    if /usr/bin/time -f "%e %M" -o "$work/time" timeout "$limit" "$@" >"$work/out.txt" 2>/dev/null; then
        read -r secs kb <"$work/time"
        printf "%8.2f s %8.0f MB %10s chars\n" "$secs" "$((kb / 1024))" "$(wc -m <"$work/out.txt")"
    else
        local rc=$?
        if [ "$rc" = 124 ]; then echo "   gave up after ${limit} s"; else echo "   failed (exit $rc)"; fi
    fi
}

tools=()
ensure pandoc pandoc && tools+=(pandoc)
ensure unrtf unrtf && tools+=(unrtf)
ensure soffice libreoffice-writer-nogui || ensure soffice libreoffice-writer
command -v soffice >/dev/null 2>&1 && tools+=(soffice)

echo "== RTF to plain text, time and peak memory =="
for size in 1 10; do
    file=$work/bench_${size}mb.rtf
    [ -f "$file" ] || continue
    ours=$(awk -v f="${size}MB" '$1 == f { print $10 " ms, peak " $11 " MB (whole bench run)" }' "$work/ours.txt")
    printf "%-8s %-8s %s\n" "${size}MB" "quorin" "$ours"
    for tool in "${tools[@]}"; do
        printf "%-8s %-8s " "${size}MB" "$tool"
        case $tool in
        pandoc) run 600 pandoc -f rtf -t plain "$file" ;;
        unrtf) run 600 unrtf --text "$file" ;;
        soffice)
            mkdir -p "$work/lo"
            run 120 sh -c "soffice --headless -env:UserInstallation=file://$work/profile \
                --convert-to txt:Text --outdir '$work/lo' '$file' >/dev/null && cat '$work/lo/bench_${size}mb.txt'"
            ;;
        esac
    done
done
