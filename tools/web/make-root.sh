#!/bin/bash
# Makes, once, the Debian 13 root that the web build runs in: emscripten, node, CMake, Ninja, the
# host Qt 6.8 (its moc, rcc and CMake files for -qt-host-path), the Japanese font and fonttools
# for the font subset, and what apt-get source needs. Everything comes from Debian's archive.
# The root lands in <cache>/web-root-<key>, the key hashing the package list and this script,
# so a change to either makes a new root and an unchanged one is reused.
#
# Prints "root=<folder>".
# TOVEMI_WEB_CACHE overrides the cache root (default: $XDG_CACHE_HOME/tovemi or ~/.cache/tovemi).
# TOVEMI_WEB_MIRROR overrides the archive (default: http://deb.debian.org/debian).
set -euo pipefail
shopt -s inherit_errexit
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
mirror=${TOVEMI_WEB_MIRROR:-http://deb.debian.org/debian}
suite=trixie
packages=(
    emscripten nodejs cmake ninja-build
    qt6-base-dev qt6-base-dev-tools
    fonts-ipafont-gothic python3-fonttools
    dpkg-dev xz-utils
)
key=$(key_of "$suite" "${packages[@]}" "$(sha256sum <"$0")")
root="$cache/web-root-$key"
if [ -f "$root/.complete" ]; then
    echo "root=$root"
    exit 0
fi
command -v debootstrap >/dev/null || {
    log "debootstrap is missing: tools/install-deps.sh --test installs it"
    exit 1
}
mkdir -p "$cache"
log "making the Debian 13 root in $root"
"${sudo_cmd[@]}" rm -rf "$root"
"${sudo_cmd[@]}" debootstrap --variant=minbase "$suite" "$root" "$mirror" >&2
# The binary archive and, for apt-get source qt6-base, the source archive of the same suite.
printf 'Types: deb deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
    "$mirror" "$suite" /usr/share/keyrings/debian-archive-keyring.gpg |
    "${sudo_cmd[@]}" tee "$root/etc/apt/sources.list.d/debian.sources" >/dev/null
"${sudo_cmd[@]}" rm -f "$root/etc/apt/sources.list"
in_root "$root" "$here" apt-get update -q >&2
in_root "$root" "$here" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${packages[@]}" >&2
in_root "$root" "$here" apt-get clean >&2
printf '%s\n' "${packages[@]}" | "${sudo_cmd[@]}" tee "$root/.complete" >/dev/null
echo "root=$root"
