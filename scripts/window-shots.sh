#!/usr/bin/env bash
# Renders every window, with the sample data loaded, to PNG files: scripts/window-shots.sh [OUTDIR]
# Runs offscreen in a scratch start folder; needs a build (scripts/build.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-/tmp/rovik-windows}")
cmake --build "$root/build" --target rovik-window-shots >/dev/null
start=$(mktemp -d)
trap 'rm -rf "$start"' EXIT
cp "$root/resources/start/SampleQA.TXT" "$start/"
cd "$start"
# The quiz run it shows is recorded in a scratch history, not the user's.
XDG_DATA_HOME="$start/data" QT_QPA_PLATFORM=offscreen "$root/build/tools/rovik-window-shots" SampleQA.TXT "$out"
