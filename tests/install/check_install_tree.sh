#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and checks that every file
# is where the desktop and the programs look for it, and that the installed
# programs run from there.
#   check_install_tree.sh CMAKE BUILD_DIR SOURCE_DIR
set -uo pipefail
cmake=$1 build=$2 source=$3
. "$(dirname "$0")/installprefix.sh"
install_into_temporary_prefix "$cmake" "$build"

expect_file() {
  [ -f "$prefix/$1" ] || fail "$1 is not installed"
}

for program in bin/quorin bin/quorin-batch; do
  [ -f "$prefix/$program" ] && [ -x "$prefix/$program" ] || fail "$program is not an installed program"
done

for file in \
  share/applications/$app_id.desktop \
  share/metainfo/$app_id.metainfo.xml \
  share/mime/packages/$app_id.xml \
  share/icons/hicolor/scalable/apps/$app_id.svg \
  share/doc/quorin/copyright \
  share/doc/quorin/changelog.gz; do
  expect_file "$file"
done

# A PNG's width and height are the big-endian words at bytes 16 and 20.
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
for size in 16 32 48 64 128 256; do
  icon=share/icons/hicolor/${size}x${size}/apps/$app_id.png
  if [ -f "$prefix/$icon" ]; then
    actual=$(png_size "$prefix/$icon")
    [ "$actual" = "${size}x${size}" ] || fail "$icon is $actual pixels"
  else
    fail "$icon is not installed"
  fi
done

# The samples and the help file, the same bytes as in the source tree.
data=$prefix/share/quorin
cmp -s "$source/samples/qrnhelp.htm" "$data/qrnhelp.htm" || fail "share/quorin/qrnhelp.htm differs or is missing"
diff -r "$source/samples/qrnhelp" "$data/qrnhelp" >/dev/null || fail "share/quorin/qrnhelp/ differs or is missing"
diff -r --exclude='qrnhelp*' "$source/samples" "$data/samples" >/dev/null || fail "share/quorin/samples/ differs or is missing"
ls "$data/samples" | grep -q '^qrnhelp' && fail "the help file is also among the samples"

for page in quorin quorin-batch; do
  man=$prefix/share/man/man1/$page.1.gz
  if [ ! -f "$man" ]; then
    fail "share/man/man1/$page.1.gz is not installed"
  elif ! gzip -dc "$man" | head -1 | grep -q "^\.TH ${page^^} 1 "; then
    fail "$page.1.gz is not a section 1 man page of $page"
  fi
done

# The installed programs find their libraries.
for program in quorin quorin-batch; do
  ldd "$prefix/bin/$program" 2>&1 | grep 'not found' && fail "bin/$program lacks a library"
done

batch=$prefix/bin/quorin-batch
help=$(QT_QPA_PLATFORM=offscreen "$batch" --help) || fail "installed quorin-batch --help failed"
[[ $help == usage:* ]] || fail "installed quorin-batch --help printed no usage"

# The man page documents exactly the commands and options the program's
# usage lists.
commands() { grep -oE -- '^(  |\.B )quorin-batch [a-z-]+' | sed 's/.* //' | sort -u; }
help_commands=$(commands <<<"$help")
man_commands=$(gzip -dc "$prefix/share/man/man1/quorin-batch.1.gz" 2>/dev/null | sed 's/\\-/-/g' | commands)
[ "$help_commands" = "$man_commands" ] ||
  fail "quorin-batch.1 commands differ from --help: $(echo $man_commands) for $(echo $help_commands)"
options() { grep -oE -- '(--[a-z][a-z-]*|(^|[][ ("])-[a-z]\>)' | sed 's/^[][ ("]//' | sort -u; }
help_options=$(options <<<"$help")
man_options=$(gzip -dc "$prefix/share/man/man1/quorin-batch.1.gz" 2>/dev/null | sed 's/\\-/-/g' | options)
[ "$help_options" = "$man_options" ] ||
  fail "quorin-batch.1 options differ from --help: $(diff <(echo "$help_options") <(echo "$man_options") | grep '^[<>]' | tr '\n' ' ')"

# The installed tool works on the installed samples.
mkdir -p "$work/out"
report=$(QT_QPA_PLATFORM=offscreen "$batch" merge "$data/samples/LetterOfDemand.tem" \
  "$data/samples/LetterOfDemand.inf" -o "$work/out/letter.rtf" 2>&1) ||
  fail "installed quorin-batch could not merge the installed sample: $report"
[[ $report == *"replacements were made"* ]] || fail "the sample merge reported: $report"
[ "$(head -c 5 "$work/out/letter.rtf" 2>/dev/null)" = '{\rtf' ] || fail "the sample merge wrote no RTF"

# quorin looks for its help file beside itself first, then at a path
# relative to bin/ that the build compiles in (as UTF-16). That path must
# lead from the installed bin/ to the installed data.
[ -e "$prefix/bin/qrnhelp.htm" ] && fail "bin/ holds a help file, so quorin would look for its samples in bin/"
relative=../share/quorin
utf16_pattern=$(printf '%s' "$relative" | sed 's/./&\\x00/g; s/\.\\x00/\\.\\x00/g')'\x00\x00'
LC_ALL=C grep -qaP "$utf16_pattern" "$prefix/bin/quorin" ||
  fail "bin/quorin does not look for its data at bin/$relative"
[ -f "$prefix/bin/$relative/qrnhelp.htm" ] && [ -d "$prefix/bin/$relative/samples" ] ||
  fail "bin/$relative holds no help file and samples"

# The editor starts from the prefix and keeps running until it is stopped.
HOME=$work XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/quorin" >"$work/quorin.log" 2>&1
status=$?
[ $status -eq 124 ] || { cat "$work/quorin.log" >&2; fail "installed quorin ended at start-up with status $status"; }

[ $failures -eq 0 ] && echo "install tree: every check passed" || echo "install tree: $failures checks failed"
[ $failures -eq 0 ]
