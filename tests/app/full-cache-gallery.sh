#!/usr/bin/env bash
# Starts the real gallery under Xvfb with its cache folder on a full disk: it
# must show its first preview, not die of SIGBUS in the shader cache the
# software renderer writes through a memory mapping.
# Usage: full-cache-gallery.sh QUILLERY QUILLERY_LIBRARY DATA_FOLDER
set -uo pipefail
program=$1 tool=$2 data=$3
if [[ $(id -u) -ne 0 ]]; then
    echo "skipped: only root can mount the small full file system this needs"
    exit 77
fi
work=$(mktemp -d)
cache="$work/cache"
cleanup() {
    umount "$cache" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

app="$work/app"
mkdir -p "$app/templates" "$cache" "$work/config" "$work/tmp"
cp "$program" "$app/"
cp -r "$data/categories" "$app/"
"$tool" pack "$data/Spring Offer.eml" "$app/templates/Spring Offer.dat" || exit 1
if ! mount -t tmpfs -o size=512k tmpfs "$cache"; then
    echo "skipped: cannot mount a small file system here"
    exit 77
fi
dd if=/dev/zero of="$cache/fill" bs=4k 2>/dev/null

export XDG_CACHE_HOME="$cache" XDG_CONFIG_HOME="$work/config" TMPDIR="$work/tmp"
export QTWEBENGINE_DISABLE_SANDBOX=1 QT_QPA_PLATFORM=xcb QUILLERY_QUIT_AFTER_PREVIEW=1
# The engine draws through the software renderer (no --disable-gpu): its
# shader cache is the one that a full disk turns into a crash.
unset MESA_SHADER_CACHE_DISABLE MESA_GLSL_CACHE_DISABLE MESA_SHADER_CACHE_DIR QTWEBENGINE_CHROMIUM_FLAGS
output=$(timeout 120 xvfb-run --auto-servernum --server-args="-screen 0 1400x800x24" \
    "$app/quillery" 2>&1)
status=$?
if [[ $status -ne 0 ]] || ! grep -q "^shown: Spring Offer" <<<"$output"; then
    echo "$output" | tail -20 >&2
    echo "error: with a full cache folder the gallery ended with status $status before its first preview" >&2
    exit 1
fi
echo "The gallery started with a full cache folder"
