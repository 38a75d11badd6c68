#!/bin/bash
# closure.sh <deb> [--no-install-recommends]
#
# Measures what installing a .deb brings onto a fresh Debian 12 minbase root:
# the number of packages apt newly installs (the .deb itself included), the
# download size and the disk space apt reports. Each run works on a fresh copy
# of the pristine root and removes that copy afterwards; the network is needed
# for 'apt-get update' (no package is downloaded).
#
# Needs root. The pristine root is made once with:
#   debootstrap --variant=minbase bookworm "$PRISTINE"
#   # then add bookworm-updates and bookworm-security to its sources.list,
#   # and 'apt-get update && apt-get -y upgrade && apt-get clean' in it
#
# Environment:
#   PRISTINE  the pristine root (default: root.pristine beside this script)
#   LIST      if set, the names of the newly installed packages go to this file
#
# Prints: packages N, download X MB, disk Y MB   (MB = 10^6 bytes, as apt's)
set -euo pipefail

usage() { echo "usage: $0 <deb> [--no-install-recommends]" >&2; exit 2; }
[ $# -ge 1 ] && [ $# -le 2 ] || usage
deb=$(readlink -f "$1")
[ -f "$deb" ] || { echo "$0: no such file: $1" >&2; exit 2; }
opt=()
if [ $# -eq 2 ]; then
    [ "$2" = --no-install-recommends ] || usage
    opt=(--no-install-recommends)
fi
[ "$(id -u)" -eq 0 ] || { echo "$0: must run as root (chroot)" >&2; exit 2; }

here=$(cd "$(dirname "$0")" && pwd)
pristine=${PRISTINE:-$here/root.pristine}
[ -x "$pristine/usr/bin/apt-get" ] || { echo "$0: no pristine root at $pristine" >&2; exit 2; }

work=$(mktemp -d "$here/closure.XXXXXX")
cleanup() {
    if mountpoint -q "$work/root/proc" 2>/dev/null; then umount "$work/root/proc"; fi
    rm -rf "$work"
}
trap cleanup EXIT

root=$work/root
cp -a "$pristine" "$root"
name=$(basename "$deb")
cp "$deb" "$root/tmp/$name"
mount -t proc proc "$root/proc"

in_root() { chroot "$root" env LC_ALL=C DEBIAN_FRONTEND=noninteractive "$@"; }

in_root apt-get update -qq >/dev/null
# --assume-no: apt prints its summary ("Need to get", "After this operation")
# and then aborts with status 1 without installing anything.
out=$(in_root apt-get install --assume-no "${opt[@]}" "./tmp/$name" 2>&1 || true)

n=$(sed -n 's/.* \([0-9][0-9]*\) newly installed.*/\1/p' <<<"$out")
[ -n "$n" ] || { echo "$0: apt did not say what it would install:" >&2; echo "$out" >&2; exit 1; }

# "12.3 kB" / "163 MB" / "1,234 kB" -> MB (apt uses SI units)
to_mb() {
    awk -v v="$1" -v u="$2" 'BEGIN {
        gsub(",", "", v); m = (u == "B") ? 1e-6 : (u == "kB") ? 1e-3 : (u == "MB") ? 1 : (u == "GB") ? 1e3 : -1
        if (m < 0) { print "?"; exit } printf "%.1f", v * m }'
}
read -r dv du < <(sed -n 's|^Need to get \([0-9.,]*\) \([kMG]*B\).*|\1 \2|p' <<<"$out")
read -r sv su < <(sed -n 's|^After this operation, \([0-9.,]*\) \([kMG]*B\) of additional.*|\1 \2|p' <<<"$out")
dl=$( [ -n "${dv:-}" ] && to_mb "$dv" "$du" || echo 0.0)
disk=$( [ -n "${sv:-}" ] && to_mb "$sv" "$su" || echo 0.0)

if [ -n "${LIST:-}" ]; then
    in_root apt-get install -s "${opt[@]}" "./tmp/$name" 2>/dev/null \
        | awk '/^Inst /{print $2}' | sort >"$LIST"
fi

echo "packages $n, download $dl MB, disk $disk MB"
