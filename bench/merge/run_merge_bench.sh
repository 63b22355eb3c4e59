#!/bin/sh
# Builds and runs the merge benchmark. Needs `add_subdirectory(merge)` in
# bench/CMakeLists.txt. Extra arguments go to bench_merge, for example
#   bench/merge/run_merge_bench.sh --rescan-seconds 10 1:10000
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
if [ ! -f "$build/build.ninja" ]; then
    flock /tmp/quorin-build.lock cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
flock /tmp/quorin-build.lock cmake --build "$build" --target bench_merge
exec "$build/bench/merge/bench_merge" "$@"
