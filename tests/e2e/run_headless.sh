#!/usr/bin/env bash
# The run command on a machine without a display: it must run the calculator
# on a virtual display of its own, print the result of CALC with the default
# inputs and the path of a PNG screenshot, and exit with the program's code 0.
# Usage: run_headless.sh SOURCE_DIR
set -uo pipefail
source_dir=$1
export WINEPREFIX=$source_dir/build/win32/wineprefix
# A Wine server of the prefix still serving another display's programs would
# hand the new program to that display: let it end first.
timeout 30 wineserver -w 2>/dev/null || true

out=$(env -u DISPLAY bash "$source_dir/scripts/run.sh" 2>&1)
rc=$?
echo "$out"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
[ "$rc" -eq 0 ] || fail "exit status $rc"
grep -q 'Rho 314\.2 OHM-FT' <<<"$out" || fail "no result 314.2 in the output"
shot=$(sed -n 's/^Screenshot of the window: //p' <<<"$out")
if [ -z "$shot" ] || [ "$(head -c 8 "$shot" | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
  fail "no PNG screenshot (\"$shot\")"
fi
[ "$failures" -eq 0 ] && echo "all checks passed"
exit $((failures > 0))
