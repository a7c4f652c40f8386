#!/usr/bin/env bash
# Starts the real gallery under Xvfb on a one-category library, waits for the
# first preview, and keeps a screenshot of the window in the output folder.
# Usage: smoke-gallery.sh QUILLERY QUILLERY_LIBRARY DATA_FOLDER OUTPUT_FOLDER
set -euo pipefail
program=$1 tool=$2 data=$3 out=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The gallery reads its library beside its executable.
app="$work/app"
mkdir -p "$app/templates" "$out"
cp "$program" "$app/"
cp -r "$data/categories" "$app/"
"$tool" pack "$data/Spring Offer.eml" "$app/templates/Spring Offer.dat"

mkdir -p "$work/config" "$work/tmp"
shot="$out/gallery-smoke.png"
rm -f "$shot"
export XDG_CONFIG_HOME="$work/config" TMPDIR="$work/tmp"
export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu QT_QPA_PLATFORM=xcb
QUILLERY_SCREENSHOT="$shot" timeout 120 \
    xvfb-run --auto-servernum --server-args="-screen 0 1400x800x24" "$app/quillery"

size=$(stat -c %s "$shot")
if [[ $size -lt 10000 ]]; then
    echo "error: the screenshot $shot is suspiciously small ($size bytes)" >&2
    exit 1
fi
# The preview's working folder is gone once the preview has loaded; what may
# stay is the lock file that marked it as this copy's.
if [[ -n $(find "$work/tmp/QYX/msg" -mindepth 1 -not -name '*.lock' 2>/dev/null) ]]; then
    echo "error: the preview's working folder was left behind" >&2
    exit 1
fi
echo "Screenshot: $shot"
