#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Tovemi need.
# Only what is missing is installed; sudo is used when not root.
set -eu
packages="
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-multimedia-dev qt6-translations-l10n
  libsndfile1-dev libgl-dev libx11-dev fonts-ipafont-gothic
"
if [ "${1:-}" = "--test" ]; then
  packages="$packages
  libbenchmark-dev clang libclang-rt-14-dev
  xvfb xdotool x11-utils imagemagick
  pulseaudio pulseaudio-utils sox
  poppler-utils desktop-file-utils appstream dpkg-dev file
"
fi
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
