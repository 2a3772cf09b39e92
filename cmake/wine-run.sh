#!/usr/bin/env bash
# Runs a Windows executable under Wine for CTest: a prefix of its own inside
# the build tree, Wine's chatter off, and a virtual display when none is set
# (Wine makes no window without one). TAVRIN_WINE names the loader (wine64
# for 64-bit programs); plain wine by default.
set -euo pipefail
exe=$1; shift
wine=${TAVRIN_WINE:-wine}
build=${TAVRIN_WINE_BUILD:-$(cd "$(dirname "$exe")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -d "$WINEPREFIX" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 || true
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$wine" "$exe" "$@"
fi
exec "$wine" "$exe" "$@"
