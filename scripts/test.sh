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

# The printing test prints through a CUPS queue that writes PDF files; without
# them (no root, no network) it skips and says so.
quorin_install cups printer-driver-cups-pdf || echo "CUPS could not be installed: the printing test will skip." >&2

cmake -S . -B "$build" -G Ninja "${options[@]}"
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 900
