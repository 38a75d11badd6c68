#!/bin/sh
# The Debian package made by CPack from the build: its control fields, its dependencies
# (shared libraries and the run-time packages no link names), its file list under /usr, and
# what lintian says of it.
set -eu
cpack=$1 build=$2 version=$3
. "$(dirname "$0")/common.sh"

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; exit 1; }
# The build's uninstall list names the files of a real install, not the package's.
if [ -f "$scratch/manifest.kept" ]; then
  check "packaging leaves install_manifest.txt as it was" \
    test "$(cat "$scratch/manifest.kept")" = "$(cat "$manifest")"
else
  check "packaging lists no file in install_manifest.txt" test ! -s "$manifest"
fi
deb="$scratch/tovemi_${version}_$(dpkg --print-architecture).deb"
check "package file $(basename "$deb")" test -f "$deb"

field() { dpkg-deb -f "$deb" "$1"; }
field Description >"$scratch/desc"
check "package name" test "$(field Package)" = tovemi
check "package version" test "$(field Version)" = "$version"
check "section" test "$(field Section)" = education
check "maintainer" sh -c 'test -n "$1"' sh "$(field Maintainer)"
check "description of several lines" test "$(field Description | wc -l)" -gt 2
check "description lines fit 80 columns" sh -c '! awk "length > 80" "$1" | grep -q .' sh "$scratch/desc"
depends=$(field Depends)
echo "Depends: $depends"
for p in libc6 libqt6widgets6 libsndfile1 libpulse0 libasound2 fonts-ipafont-gothic \
         qt6-qpa-plugins qt6-translations-l10n; do
  check "depends on $p" sh -c 'echo "$1" | tr "," "\n" | grep -q "^ *$2\( \|$\)"' sh "$depends" "$p"
done
# Three short sounds need no media framework (Qt Multimedia pulls in ffmpeg and GStreamer).
check "no media framework" sh -c '! echo "$1" | grep -q "multimedia"' sh "$depends"

dpkg-deb -c "$deb" | awk '{ print $NF }' >"$scratch/files"
check "media files listed" test -s "$build/media_files.txt"
for f in usr/bin/tovemi usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/doc/tovemi/copyright usr/share/doc/tovemi/changelog.gz \
         usr/share/man/man1/tovemi.1.gz usr/share/man/ja/man1/tovemi.1.gz \
         $(sed 's|^|usr/share/tovemi/|' "$build/media_files.txt"); do
  check "package holds /$f" grep -qxF "./$f" "$scratch/files"
done
for size in 32 48 64 128 256; do
  check "package holds the ${size}px icon" \
    grep -qxF "./usr/share/icons/hicolor/${size}x${size}/apps/$id.png" "$scratch/files"
done
check "package installs only under /usr" sh -c '! grep -v -e "^\./$" -e "^\./usr/" "$1"' sh "$scratch/files"

dpkg-deb -x "$deb" "$scratch/root"
desktop="$scratch/root/usr/share/applications/$id.desktop"
check "packaged desktop entry validates" desktop-file-validate "$desktop"
check "packaged desktop entry starts in /usr/share/tovemi" \
  test "$(entry_value "$desktop" Path)" = /usr/share/tovemi
check "packaged desktop entry runs /usr/bin/tovemi" \
  test "$(entry_value "$desktop" Exec)" = /usr/bin/tovemi
check "packaged program is stripped" \
  sh -c 'file -b "$1" | grep -q ", stripped"' sh "$scratch/root/usr/bin/tovemi"

# lintian does not compare the changelog with the package: a new version needs its entry.
changelog="$scratch/root/usr/share/doc/tovemi/changelog.gz"
check "the changelog's latest entry is $version" \
  sh -c 'gzip -dc "$1" | head -n 1 | grep -qF "tovemi ($2) "' sh "$changelog" "$version"

# Debian's own checks of a package, pedantic ones too: anything it says fails, and is shown.
check "lintian, pedantic, finds nothing to say" lintian --pedantic --fail-on error,warning,info,pedantic "$deb"
finish
