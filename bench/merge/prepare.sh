# Sourced by the merge benchmarks once their options are read: builds
# quorin-batch (under the build lock the sessions share) and makes the work
# folder. Uses $root, $build and $dir (empty: a new temporary folder, named
# after $bench_name and removed at exit); sets $batch.
if [ ! -f "$build/build.ninja" ]; then
    flock /tmp/quorin-build.lock cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
flock /tmp/quorin-build.lock cmake --build "$build" --target quorin-batch
batch=$build/src/cli/quorin-batch

if [ -z "$dir" ]; then
    dir=$(mktemp -d "${TMPDIR:-/tmp}/$bench_name.XXXXXX")
    trap 'rm -rf "$dir"' EXIT
fi
