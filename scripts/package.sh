#!/usr/bin/env bash
# Builds Quorin's Debian package and checks it with Debian's and the
# desktop's validators.
#   scripts/package.sh    build-package/quorin_<version>_<arch>.deb
# The build is a Release build in build-package/, reused when it is there,
# with the compiler and linker hardening flags Debian's own packages get.
# lintian, desktop-file-validate and appstreamcli are installed when
# missing; a validator that cannot be installed is skipped and said so.
# Exits non-zero when the build or a validator fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
quorin_install "${QUORIN_PACKAGES[@]}" dpkg-dev

build=build-package
app_id=io.github.quorin.Quorin

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUORIN_BUILD_TESTS=OFF \
  "-DCMAKE_CXX_FLAGS=$cxxflags" \
  "-DCMAKE_EXE_LINKER_FLAGS=$ldflags"
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb=$build/quorin_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "cpack wrote no $deb" >&2; exit 1; }
echo "Package: $deb"
dpkg-deb --field "$deb"

# Installs a validator's package unless its tool is there; says so when it
# cannot be had.
validator() {
  local tool=$1 package=$2
  command -v "$tool" >/dev/null 2>&1 && return 0
  if quorin_install "$package" >/dev/null 2>&1 && command -v "$tool" >/dev/null 2>&1; then
    return 0
  fi
  echo "skipped: $tool could not be installed"
  return 1
}

failed=()
if validator lintian lintian; then
  echo "== lintian"
  lintian --display-info "$deb" || failed+=(lintian)
fi
if validator desktop-file-validate desktop-file-utils; then
  echo "== desktop-file-validate"
  desktop-file-validate "data/desktop/$app_id.desktop" || failed+=(desktop-file-validate)
fi
if validator appstreamcli appstream; then
  echo "== appstreamcli validate"
  # --no-net: the screenshots' addresses cannot be reached from a build machine.
  appstreamcli validate --no-net "data/metainfo/$app_id.metainfo.xml" || failed+=(appstreamcli)
fi

if [ ${#failed[@]} -gt 0 ]; then
  echo "Failed: ${failed[*]}" >&2
  exit 1
fi
echo "Built and checked: $deb"
