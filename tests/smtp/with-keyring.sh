#!/bin/sh
# Runs a command with a Secret Service of its own: a gnome-keyring daemon on
# the private session bus that dbus-run-session gives this script, its login
# keyring unlocked with a throwaway password, under a throwaway home. The
# daemon ends with that bus.
# Usage: dbus-run-session -- with-keyring.sh COMMAND...
set -eu
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
export XDG_RUNTIME_DIR="$home/run"
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
printf 'keyring-of-the-test' | gnome-keyring-daemon --unlock --components=secrets >/dev/null
"$@"
