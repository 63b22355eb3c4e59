#!/bin/bash
# Times `quorin-batch merge` of one template of about 20 KB with a CSV table
# of 10,000 rows (one letter per row), on one thread and on two, beside `cat`
# writing the same output bytes into as many files. Each output of
# quorin-batch is written to a temporary file, synced to the disk and
# renamed; `cat` does none of that, so on a real disk the figures show what
# that safety costs, and on a tmpfs (--dir /dev/shm/...) what the merging
# itself costs.
#
#   bench/merge/run_csv_merge_bench.sh [--dir DIR] [--rows N] [--jobs "1 2"] [--format rtf|html|txt]
#
# DIR (default: a new folder under $TMPDIR or /tmp) is where inputs and
# outputs go. The outputs of every -j are compared byte for byte.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
rows=10000
jobs="1 2"
format=rtf
dir=
while [ $# -gt 0 ]; do
    case $1 in
    --dir) dir=$2; shift 2 ;;
    --rows) rows=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --format) format=$2; shift 2 ;;
    *) echo "usage: $0 [--dir DIR] [--rows N] [--jobs \"1 2\"] [--format rtf|html|txt]" >&2; exit 2 ;;
    esac
done

bench_name=quorin-csv-bench
. "$root/bench/merge/prepare.sh"
mkdir -p "$dir"
cd "$dir"
rm -rf out-* cat

# A letter of about 20 KB: a header, then clauses that use the eight
# columns again and again, as a long agreement does.
{
    printf '{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}\r\n'
    printf '{\\colortbl;\\red0\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 @1\\par\r\n@2\\par\r\n@3\\par\r\n\\par\r\n'
    clause=1
    while [ "$clause" -le 80 ]; do
        printf '\\pard\\fi-360\\li360 {\\b %d.}\\tab The Tenant, @1 of @2, shall pay to the Landlord, @4, ' "$clause"
        printf 'the rent of @5 on the @6 day of each month for the premises known as @3, and shall '
        printf 'keep them in {\\i good and tenantable repair} (reference @7, account @8).\\par\r\n'
        clause=$((clause + 1))
    done
    printf '}\r\n'
} > template.tem

# One row per letter; the names differ, so every output has a name of its own.
awk -v rows="$rows" 'BEGIN {
    print "Name,Address,Premises,Landlord,Rent,Day,Reference,Account"
    for (i = 1; i <= rows; i++)
        printf "\"Client %05d\",\"%d High Street, Bath\",\"Flat %d, Quay House\",\"Quay Estates Ltd\",\"$%d.00\",%d,REF-%d,%08d\n", i, i, i % 40 + 1, 900 + i % 300, i % 28 + 1, i, i * 7
}' > clients.csv

now() { date +%s.%N; }
seconds() { echo "$2 - $1" | bc; }

printf 'rows: %d, template: %d bytes, table: %d bytes, folder: %s (%s), cores: %s\n' \
    "$rows" "$(wc -c < template.tem)" "$(wc -c < clients.csv)" "$dir" \
    "$(df --output=fstype . | tail -1)" "$(nproc)"
first=
for j in $jobs; do
    mkdir "out-$j"
    sync
    start=$(now)
    "$batch" merge template.tem clients.csv -j "$j" -o "out-$j/{name}.$format" > /dev/null
    elapsed=$(seconds "$start" "$(now)")
    printf '%-44s %8.2f s  (%s bytes out)\n' "quorin-batch merge -j $j -o {name}.$format" "$elapsed" \
        "$(cat out-"$j"/* | wc -c)"
    if [ -z "$first" ]; then
        first=$j
    elif ! diff -rq "out-$first" "out-$j" > /dev/null; then
        echo "the outputs of -j $first and -j $j differ" >&2
        exit 1
    fi
done

mkdir cat
sync
start=$(now)
for f in "out-$first"/*; do
    cat "$f" > "cat/${f##*/}"
done
printf '%-44s %8.2f s\n' "cat of the same bytes, one file each" "$(seconds "$start" "$(now)")"
