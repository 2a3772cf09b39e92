#!/usr/bin/env bash
# The window's close command: Alt+F4 (through the window manager) ends the
# calculator with exit code 0, as DONE does.
# Usage: calculator_close.sh WIN32_BUILD_DIR
E2E_BUILD=$(cd "$1" && pwd)
. "$(dirname "$0")/lib.sh"

start_display
start_calc || finish

click_control 101
wait_focus 101 >/dev/null || fail "box 101 did not take the focus"
xdotool key alt+F4
drive gone 10000 && pass "Alt+F4 closes the window" || fail "Alt+F4 left the window open"
check_eq "exit code after Alt+F4" "0" "$(calc_exit_code 10)"

finish
