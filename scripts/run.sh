#!/usr/bin/env bash
# Builds the Windows calculator and opens it under Wine on the user's display.
# Without a display, run it on a virtual one: xvfb-run -a scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ -z "${DISPLAY:-}" ]; then
  echo "No X display (DISPLAY is unset): run it on a virtual one with 'xvfb-run -a scripts/run.sh'." >&2
  exit 1
fi

scripts/deps.sh run
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target tavrin-calc >/dev/null

# A Wine prefix of the build tree, made on first use.
export WINEPREFIX=$root/build/win32/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
if [ ! -d "$WINEPREFIX" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
fi
exec wine build/win32/bin/tavrin-calc.exe
