# Sourced by the install tests: installs a build tree into a temporary
# prefix that is removed on exit, and counts failed checks.
#   install_into_temporary_prefix CMAKE BUILD_DIR   sets $prefix and $work

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

install_into_temporary_prefix() {
  local cmake=$1 build=$2
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  prefix=$work/prefix
  if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "FAIL: cmake --install $build --prefix $prefix" >&2
    exit 1
  fi
}

# The id that names the launcher, icon, MIME and metainfo files.
app_id=io.github.quorin.Quorin
