#!/bin/sh
# Times `quorin-batch merge` of one template with 2,000 Information files
# beside `cat` of the same bytes. Each output of quorin-batch is written to a
# temporary file, synced to the disk and renamed; `cat` does none of that, so
# the figures show what that safety costs on the disk at hand.
#
#   bench/merge/run_batch_merge_bench.sh [--dir DIR] [--files N] [--template FILE.tem --information FILE.inf]
#
# DIR (default: a new folder under $TMPDIR or /tmp) is where inputs and
# outputs go; put it on the disk you care about (or a tmpfs, to see the cost
# without syncing to a device).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
files=2000
dir=
template=$root/samples/LetterOfDemand.tem
information=$root/samples/LetterOfDemand.inf
while [ $# -gt 0 ]; do
    case $1 in
    --dir) dir=$2; shift 2 ;;
    --files) files=$2; shift 2 ;;
    --template) template=$2; shift 2 ;;
    --information) information=$2; shift 2 ;;
    *) echo "usage: $0 [--dir DIR] [--files N] [--template T --information I]" >&2; exit 2 ;;
    esac
done

bench_name=quorin-merge-bench
. "$root/bench/merge/prepare.sh"
mkdir -p "$dir/info" "$dir/rtf" "$dir/html" "$dir/cat"
cp "$template" "$dir/template.tem"

# Information files that differ in their first value, as a mail merge's do.
i=1
while [ "$i" -le "$files" ]; do
    { sed -n 1p "$information"; echo "Client number $i"; sed -n '3,$p' "$information"; } > "$dir/info/client$i.inf"
    i=$((i + 1))
done

now() { date +%s.%N; }
seconds() { echo "$2 - $1" | bc; }

cd "$dir"
sync
start=$(now)
for f in info/*.inf; do
    name=${f#info/}
    cat template.tem "$f" > "cat/${name%.inf}.rtf"
done
cat_seconds=$(seconds "$start" "$(now)")

sync
start=$(now)
"$batch" merge template.tem info/*.inf -o 'rtf/{name}.rtf' > /dev/null
rtf_seconds=$(seconds "$start" "$(now)")

sync
start=$(now)
"$batch" merge template.tem info/*.inf -o 'html/{name}.html' > /dev/null
html_seconds=$(seconds "$start" "$(now)")

in_bytes=$(cat template.tem info/*.inf | wc -c)
printf 'files: %d, input bytes: %d, folder: %s (%s)\n' "$files" "$in_bytes" "$dir" "$(df --output=fstype . | tail -1)"
printf '%-44s %8.2f s\n' "cat template + information, one file each" "$cat_seconds"
printf '%-44s %8.2f s  (%s bytes out)\n' "quorin-batch merge -o {name}.rtf" "$rtf_seconds" "$(cat rtf/* | wc -c)"
printf '%-44s %8.2f s  (%s bytes out)\n' "quorin-batch merge -o {name}.html" "$html_seconds" "$(cat html/* | wc -c)"
