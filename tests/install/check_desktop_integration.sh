#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and checks it with the
# desktop's own tools: the launcher and the software-centre entry pass their
# validators, files get Quorin's types (and only the files meant to), and the
# desktop picks Quorin to open them. A check whose tool is missing is
# skipped with a message; with every tool missing the test is skipped (77).
#   check_desktop_integration.sh CMAKE BUILD_DIR
set -uo pipefail
cmake=$1 build=$2
. "$(dirname "$0")/installprefix.sh"
install_into_temporary_prefix "$cmake" "$build"

ran=0
have() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "skipped: $tool is not installed"
      return 1
    fi
  done
  ran=$((ran + 1))
}

share=$prefix/share
# Nothing of the user's own desktop settings may take part.
export XDG_DATA_HOME=$work/home XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"

if have desktop-file-validate; then
  desktop-file-validate "$share/applications/$app_id.desktop" || fail "desktop-file-validate"
fi

if have appstreamcli; then
  appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
fi

# Builds a MIME database as a system has one: the freedesktop.org types,
# Quorin's, and any others given, compiled together.
mime_database() {
  local db=$1
  shift
  mkdir -p "$db/mime/packages"
  cp /usr/share/mime/packages/freedesktop.org.xml "$share/mime/packages/$app_id.xml" "$@" "$db/mime/packages/"
  update-mime-database "$db/mime" >/dev/null 2>&1 || fail "update-mime-database rejects the types"
}

content_type() {
  XDG_DATA_DIRS=$1 gio info -a standard::content-type "$2" 2>/dev/null | sed -n 's/.*standard::content-type: //p'
}

rtf='{\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0 Dear @1,\par}'
if have update-mime-database gio && [ -f /usr/share/mime/packages/freedesktop.org.xml ]; then
  files=$work/files
  mkdir -p "$files"
  mime_database "$work/db"
  # name | content, <nl> for a line break | the type it must get
  while IFS='|' read -r name content expected; do
    printf '%s\n' "${content//<nl>/$'\n'}" >"$files/$name"
    actual=$(content_type "$work/db" "$files/$name")
    [ "$actual" = "$expected" ] || fail "$name is $actual, not $expected"
  done <<ROWS
letter.tem|$rtf|application/x-quorin-template
LETTER.TEM|$rtf|application/x-quorin-template
smith.inf|Name of the client<nl>John Smith|application/x-quorin-information
letter.rtf|$rtf|application/rtf
letter|$rtf|application/rtf
notes.txt|Plain words.|text/plain
ROWS

  # A Windows setup file type that also claims *.inf keeps it: Quorin's
  # weaker glob gives way, whatever the file holds.
  cat >"$work/setup-inf.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/x-wine-extension-inf">
    <comment>Windows setup information</comment>
    <glob pattern="*.inf"/>
  </mime-type>
</mime-info>
XML
  mime_database "$work/db-setup" "$work/setup-inf.xml"
  printf '[Version]\nSignature="$Windows NT$"\n' >"$files/driver.inf"
  for name in driver.inf smith.inf; do
    actual=$(content_type "$work/db-setup" "$files/$name")
    [ "$actual" = application/x-wine-extension-inf ] || fail "$name is $actual beside a setup-file type"
  done
fi

# The desktop offers Quorin first for its own types. GLib lists only
# launchers whose program is on PATH, from the applications' MIME cache.
if have update-desktop-database gio; then
  update-desktop-database "$share/applications" || fail "update-desktop-database"
  for type in application/x-quorin-template application/x-quorin-information application/rtf; do
    default=$(PATH=$prefix/bin:$PATH XDG_DATA_DIRS=$share:$work/db gio mime "$type" 2>/dev/null | head -1)
    [[ $default == *": $app_id.desktop" ]] || fail "the desktop's handler for $type: $default"
  done
fi

if [ $ran -eq 0 ]; then
  echo "desktop integration: no tool to check with"
  exit 77
fi
[ $failures -eq 0 ] && echo "desktop integration: every check passed" || echo "desktop integration: $failures checks failed"
[ $failures -eq 0 ]
