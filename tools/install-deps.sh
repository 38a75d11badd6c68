#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Tovemi need.
# Only what is missing is installed; sudo is used when not root, and without sudo it says so.
set -eu
packages="
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n
  libsndfile1-dev libpulse-dev libasound2-dev libgl-dev libx11-dev fonts-ipafont-gothic
"
if [ "${1:-}" = "--test" ]; then
  packages="$packages
  libbenchmark-dev clang libclang-rt-14-dev
  xvfb xdotool x11-utils imagemagick
  pulseaudio pulseaudio-utils sox python3-xlib time
  orca at-spi2-core dbus
  poppler-utils desktop-file-utils appstream dpkg-dev file lintian clang-format llvm-14
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 nsis zip
  debootstrap chromium nodejs gir1.2-webkit2-4.1 python3-gi
"
fi
# npm for the browser tests' puppeteer-core; a node from elsewhere may bring its own.
if [ "${1:-}" = "--test" ] && ! command -v npm >/dev/null 2>&1; then
  packages="$packages npm"
fi
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Cannot install$missing: run this as root, or install sudo first (su -c 'apt-get install sudo')." >&2
    exit 1
  fi
  sudo=sudo
fi
echo "Installing:$missing"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
