#!/usr/bin/env bash
# Robustness: a 100,000-character paste into an input box followed by CALC,
# then 10,000 CALC clicks with changing inputs while the calculator's memory
# and GDI objects are watched from another process.
# Usage: calculator_stress.sh WIN32_BUILD_DIR [CLICKS]
E2E_BUILD=$(cd "$1" && pwd)
clicks=${2:-10000}
. "$(dirname "$0")/lib.sh"

start_display
start_calc || finish

# --- A huge paste ------------------------------------------------------------
drive clip 100000 || fail "could not put 100,000 characters on the clipboard"
click_control 101
wait_focus 101 >/dev/null || fail "box 101 did not take the focus"
xdotool key End shift+Home ctrl+v
pasted=0
for k in $(seq 100); do
  pasted=$(drive len 101)
  [ "$pasted" -gt 1 ] && break
  sleep 0.05
done
[ "$pasted" -gt 1 ] && pass "the paste reached box 101 ($pasted characters kept)" ||
  fail "the paste did not reach box 101"
click_control 107
k=0
until [ -n "$(drive get 106)" ] || [ $k -ge 100 ]; do sleep 0.05; k=$((k + 1)); done
result_length=$(drive len 106)
[ "$result_length" -gt 0 ] && pass "CALC after the paste shows a result ($result_length characters)" ||
  fail "CALC after the paste shows nothing"
still_open 0.2 && pass "the window survives the paste" || fail "the window is gone after the paste"

# --- Many clicks: memory and GDI objects stay flat ----------------------------
drive set 103 "2.0"
drive set 104 "2.0"
# Private bytes may grow by at most 256 KiB over the measured clicks.
if drive stress "$clicks" 262144 | tee "$E2E_ARTIFACTS/stress.txt"; then
  pass "$clicks CALC clicks: results stable, memory and GDI objects flat"
else
  fail "$clicks CALC clicks (see above)"
fi

# DONE by a posted click: the modal loop looks at the window after each
# message it dispatches.
drive post-click 108
drive gone 10000 || fail "DONE by message left the window open"
check_eq "exit code after DONE" "0" "$(calc_exit_code 10)"

finish
