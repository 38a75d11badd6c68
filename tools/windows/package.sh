#!/bin/bash
# Gathers the cross-built program into one folder that runs on Windows as it is, then makes
# the installer (NSIS) and a zip of the same folder.
#   tools/windows/package.sh <build dir> <Qt prefix> <libsndfile prefix> <output dir>
# The folder: tovemi.exe and the six pictures and sounds, which it reads by bare name from its
# working folder; the Qt, libsndfile and MinGW runtime DLLs; the Windows platform plugin and
# the native style; Qt's Japanese texts. Every DLL that any file there imports is checked to be
# there or to be Windows's own.
set -euo pipefail
build=$1 qt=$2 sndfile=$3 out=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
triple=x86_64-w64-mingw32

fail() {
    echo "package: $*" >&2
    exit 1
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
IFS=. read -r major minor patch tweak <<<"$version"
version_text="$major.$minor$patch.$tweak"

stage="$out/Tovemi"
rm -rf "$stage"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"

"$triple-strip" -o "$stage/tovemi.exe" "$build/app/tovemi.exe"
# The program's own table of them, as the build read it.
[ -s "$build/media_files.txt" ] || fail "no list of media files in $build"
while read -r f; do
    cp "$root/media/files/$f" "$stage/"
done <"$build/media_files.txt"

for lib in Core Gui Widgets PrintSupport; do
    cp "$qt/bin/Qt6$lib.dll" "$stage/"
done
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
# The native look of buttons and boxes; without it Qt draws its own Fusion style.
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
# Translations are the same files on every platform: the host's, of the same Qt version.
qm=/usr/share/qt6/translations/qtbase_ja.qm
[ -f "$qm" ] || fail "$qm is missing (package qt6-translations-l10n)"
cp "$qm" "$stage/translations/"
# Without this Qt would look for its plugins and texts where it was built.
printf '[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n' >"$stage/qt.conf"

cp "$sndfile/bin/libsndfile-1.dll" "$stage/"
runtime_dirs=("$(dirname "$("$triple-g++-posix" -print-libgcc-file-name)")" "/usr/$triple/lib")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    found=
    for dir in "${runtime_dirs[@]}"; do
        [ -f "$dir/$dll" ] && found="$dir/$dll" && break
    done
    [ -n "$found" ] || fail "MinGW runtime $dll not found"
    cp "$found" "$stage/"
done
"$triple-strip" --strip-unneeded "$stage"/*.dll "$stage"/*/*.dll

# Windows's own DLLs (and its API sets); anything else must be in the folder.
missing=$(find "$stage" -name '*.exe' -o -name '*.dll' | while read -r file; do
    "$triple-objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p'
done | sort -u | while read -r dll; do
    [ -f "$stage/$dll" ] && continue
    lower=$(echo "$dll" | tr 'A-Z' 'a-z')
    [ -f "/usr/$triple/lib/lib${lower%.*}.a" ] && continue
    case $lower in api-ms-win-* | ext-ms-win-*) continue ;; esac
    echo "$dll"
done)
[ -z "$missing" ] || fail "DLLs that nothing provides: $missing"

icon="$build/app/tovemi.ico"
[ -f "$icon" ] || fail "no icon at $icon"
setup="$out/tovemi-$version-setup.exe"
# The uninstaller removes exactly what was installed, nothing a teacher put beside it.
(cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g; s|^|  Delete "$INSTDIR\\|; s|$|"|'
    echo '  Delete "$INSTDIR\uninstall.exe"'
    find . -mindepth 1 -type d | sed 's|^\./||; s|/|\\|g; s|^|  RMDir "$INSTDIR\\|; s|$|"|'
    echo '  RMDir "$INSTDIR"') >"$out/uninstall-files.nsh"
makensis -V2 -INPUTCHARSET UTF8 \
    -DVERSION="$version" -DVERSION_TEXT="$version_text" -DSTAGE="$stage" -DICON="$icon" \
    -DUNINSTALL_FILES="$out/uninstall-files.nsh" -DOUTFILE="$setup" \
    "$root/packaging/windows/tovemi.nsi" >&2
rm -f "$out/uninstall-files.nsh"

zip="$out/tovemi-$version-windows.zip"
rm -f "$zip"
(cd "$out" && zip -qr9 "$zip" Tovemi)
echo "$setup"
echo "$zip"
