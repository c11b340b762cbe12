#!/usr/bin/env bash
# Renders the running program's screen to a PNG under Xvfb: scripts/screenshot.sh OUT.png [SECONDS]
# Starts rovik in the start folder ~/Rovik, waits, grabs the whole screen, stops it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-/tmp/rovik.png}")
wait_s="${2:-3}"
start="${HOME}/Rovik"
mkdir -p "$start"
cd "$start"
Xvfb :99 -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=:99 "$root/build/src/app/rovik" &
app=$!
sleep "$wait_s"
DISPLAY=:99 import -window root "$out"
kill $app 2>/dev/null || true
echo "$out"
