#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Quorin and runs every test
# through CTest. Exits non-zero on any failure.
#   scripts/test.sh              the normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UBSan build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
quorin_install "${QUORIN_PACKAGES[@]}"

build=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  options=(-DCMAKE_BUILD_TYPE=Debug -DQUORIN_SANITIZE=ON)
fi

cmake -S . -B "$build" -G Ninja "${options[@]}"
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 900
