#!/bin/sh
# A drill heard through Orca, the screen reader pupils who cannot see use: the real program and
# Orca on this X server, on a private D-Bus session with its own accessibility bus. Keys are
# typed as a pupil types them; what Orca would say is read from its debug log.
# usage (under with_xvfb.sh): screen_reader.sh <tovemi> <media folder> [log]
set -eu
program=$(readlink -f "$1") media=$2
work=$(mktemp -d)
log=${3:-$work/orca.log}
trap 'rm -rf "$work"' EXIT
cp "$media"/* "$work"/
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# Orca gives up on a program whose replies come late, so the whole session runs ahead of other
# work on a busy machine, where it can (as root).
nice -n -10 true 2>/dev/null && boost="nice -n -10" || boost=""
exec $boost dbus-run-session -- "$(dirname "$0")/screen_reader_drill.sh" "$program" "$work" "$log"
