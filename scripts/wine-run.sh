#!/usr/bin/env bash
# Runs a Windows program of a Windows build under Wine: scripts/wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# The Wine prefix is BUILD_DIR/wineprefix, made on first use; no Mono/Gecko prompts, no debug noise.
set -euo pipefail
build=$(realpath -m "$1")
shift
# A UTF-8 locale, so that Wine hands over non-ASCII arguments unchanged.
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
mkdir -p "$WINEPREFIX"
# Tests start in parallel: one makes the prefix, the others wait for it.
exec 9>"$build/wineprefix.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
flock -u 9
exec 9>&-
exec wine "$@"
