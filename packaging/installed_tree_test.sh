#!/bin/sh
# Installs the build into a scratch folder and checks what a desktop and a user find there:
# exactly the files we mean to install, an entry and metadata that their validators accept
# and that name the installed program and icons, and a velmora-stamp that runs from the tree.
# Arguments: the cmake command, the build folder, the program's desktop id, its version.
set -eu
cmake=$1 build=$2 id=$3 version=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
tree=$scratch/tree
fail() { echo "installed tree: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$tree" >/dev/null

expected="bin/velmora
bin/velmora-stamp
share/applications/$id.desktop
share/doc/velmora/changelog.gz
share/doc/velmora/copyright
share/icons/hicolor/32x32/apps/$id.png
share/icons/hicolor/48x48/apps/$id.png
share/metainfo/$id.metainfo.xml"
# velmora-stamp's manual page, where the build made one (sanitized builds do not).
page=share/man/man1/velmora-stamp.1
if [ -e "$build/cli/velmora-stamp.1" ]; then
  expected=$(printf '%s\n%s\n' "$expected" "$page" | LC_ALL=C sort)
fi
found=$(cd "$tree" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$found" = "$expected" ] || fail "holds
$found
instead of
$expected"

desktop=$tree/share/applications/$id.desktop
metainfo=$tree/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo" >/dev/null || appstreamcli validate --no-net "$metainfo"

if [ -e "$tree/$page" ]; then
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$tree/$page" \
    >"$scratch/page" 2>"$scratch/man"
  [ ! -s "$scratch/man" ] || fail "man finds faults in $page: $(cat "$scratch/man")"
  for shown in "velmora-stamp - stamp a line of text" --files-from --depth "Exit status" \
    "$version"; do
    grep -qF -- "$shown" "$scratch/page" || fail "$page does not show $shown"
  done
fi

# What the entry and the metadata name must be what was installed.
grep -qx "Exec=velmora" "$desktop" || fail "the entry does not start velmora"
grep -qx "Icon=$id" "$desktop" || fail "the entry's icon is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"
zcat "$tree/share/doc/velmora/changelog.gz" | head -n 1 | grep -q "^velmora ($version)" ||
  fail "the changelog does not begin with $version"
grep -q "^License: MIT" "$tree/share/doc/velmora/copyright" || fail "the copyright names no licence"

# Each icon is a PNG as large as its folder says (width and height from the IHDR chunk).
for size in 32 48; do
  head=$(od -An -tu1 -N24 "$tree/share/icons/hicolor/${size}x$size/apps/$id.png" | tr -s ' \n' '  ')
  [ "$head" = " 137 80 78 71 13 10 26 10 0 0 0 13 73 72 68 82 0 0 0 $size 0 0 0 $size " ] ||
    fail "the ${size}x$size icon is not a $size x $size PNG:$head"
done

# The installed velmora-stamp stamps a 1 x 1 picture (24 bits, white) into another folder.
printf 'BM\072\0\0\0\0\0\0\0\066\0\0\0\050\0\0\0\001\0\0\0\001\0\0\0\001\0\030\0' >"$scratch/in.bmp"
printf '\0\0\0\0\004\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\377\377\377\0' >>"$scratch/in.bmp"
mkdir "$scratch/out"
QT_QPA_PLATFORM=offscreen "$tree/bin/velmora-stamp" --text V --output-dir "$scratch/out" \
  "$scratch/in.bmp" || fail "velmora-stamp failed"
[ "$(head -c 2 "$scratch/out/in.bmp")" = BM ] || fail "velmora-stamp wrote no picture"
"$tree/bin/velmora-stamp" --help | grep -q '^Usage: velmora-stamp' || fail "no help from velmora-stamp"
