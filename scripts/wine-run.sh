#!/usr/bin/env bash
# Runs a Windows program of a Windows build under Wine: scripts/wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# The Wine prefix is BUILD_DIR/wineprefix, made on first use; no Mono/Gecko prompts, no debug noise.
set -euo pipefail
build=$(realpath -m "$1")
shift
# A UTF-8 locale, so that Wine hands over non-ASCII arguments unchanged.
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
exec wine "$@"
