#!/bin/sh
# `cmake --install` into a scratch prefix (with a blank in it, as a real one may have): the
# program, its media, and a desktop entry, metainfo and icons that validate and agree.
set -eu
build=$1 src=$2
. "$(dirname "$0")/common.sh"

prefix="$scratch/Program Files/usr"
cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"

check "program installed and executable" test -x "$prefix/bin/tovemi"
check "media files listed" test -s "$build/media_files.txt"
while read -r f; do
  check "media file $f in share/tovemi" cmp -s "$src/media/files/$f" "$prefix/share/tovemi/$f"
done <"$build/media_files.txt"
for size in 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  check "icon ${size}x$size is a PNG of that size" \
    sh -c 'file -b "$1" | grep -q "^PNG image data, $2 x $2,"' sh "$icon" "$size"
done
check "copyright file" grep -q '^License: MIT' "$prefix/share/doc/tovemi/copyright"

desktop="$prefix/share/applications/$id.desktop"
check "desktop entry validates" desktop-file-validate "$desktop"
check "desktop entry starts in the media folder" \
  test "$(entry_value "$desktop" Path)" = "$prefix/share/tovemi"
check "desktop entry runs the installed program, quoted for the blank" \
  test "$(entry_value "$desktop" Exec)" = "\"$prefix/bin/tovemi\""
check "desktop entry names the icon by the id" test "$(entry_value "$desktop" Icon)" = "$id"
check "desktop entry has a Japanese generic name" \
  test "$(entry_value "$desktop" 'GenericName\[ja\]')" = "割合・百分率・歩合のドリル"
check "desktop entry is in Education and Math" \
  sh -c 'grep -q "^Categories=.*Education;" "$1" && grep -q "^Categories=.*Math;" "$1"' sh "$desktop"

metainfo="$prefix/share/metainfo/$id.metainfo.xml"
check "metainfo validates (strict, offline)" appstreamcli validate --no-net --strict "$metainfo"
# The one pedantic note is the capital of the id, which is kept: an AppStream id is for good.
check "metainfo has no pedantic note but the id's capital" sh -c \
  '! appstreamcli validate --no-net --pedantic "$1" | grep "^[EWIP]: " | grep -v cid-contains-uppercase' \
  sh "$metainfo"
check "metainfo id is the id" grep -q "<id>$id</id>" "$metainfo"
check "metainfo launches the installed desktop entry" \
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
check "metainfo has the release" grep -q '<release version="2.00.2" date="2026-12-07"/>' "$metainfo"
check "metainfo has a Japanese summary" grep -q '<summary xml:lang="ja">' "$metainfo"

# The uninstall list must hold the desktop entry written at install time, and nothing
# outside the prefix.
check "install manifest lists the desktop entry" grep -qxF "$desktop" "$manifest"
check "install manifest stays inside the prefix" \
  sh -c '! grep -vF "$1/" "$2"' sh "$prefix" "$manifest"
finish
