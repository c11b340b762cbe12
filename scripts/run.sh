#!/usr/bin/env bash
# Installs, builds and starts Rovik. The start folder (Rovik.ini, ErrorLog.txt, the sample data
# and help) is ~/Rovik; it is created on first run and never overwritten afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
start="${HOME}/Rovik"
mkdir -p "$start"
for f in "$root"/resources/start/* "$root"/build/resources/start/*; do
  [ -e "$f" ] || continue
  [ -e "$start/$(basename "$f")" ] || cp "$f" "$start/"
done
cd "$start"
exec "$root/build/src/app/rovik" "$@"
