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
# Two measures: the figures Windows reports for the process (read by the
# driver through GetProcessMemoryInfo and GetGuiResources), and the resident
# size of the process as Linux sees it. A tenth of the clicks warm up.
drive set 103 "2.0"
drive set 104 "2.0"
warm_up=$((clicks / 10))
drive stress "$warm_up" 1048576 >/dev/null || fail "$warm_up warm-up CALC clicks"
unix_pid=$(calc_unix_pid)
rss_before=$(rss_kb "$unix_pid")
# Private bytes may grow by at most 256 KiB over the measured clicks.
if drive stress $((clicks - warm_up)) 262144 | tee "$E2E_ARTIFACTS/stress.txt"; then
  pass "$((clicks - warm_up)) more CALC clicks: results stable, Windows' memory figures flat"
else
  fail "$((clicks - warm_up)) more CALC clicks (see above)"
fi
rss_after=$(rss_kb "$unix_pid")
echo "resident before=${rss_before}kB after=${rss_after}kB" | tee -a "$E2E_ARTIFACTS/stress.txt"
if [ -n "$rss_before" ] && [ -n "$rss_after" ] && [ $((rss_after - rss_before)) -le 256 ]; then
  pass "resident size grew by $((rss_after - rss_before)) kB (at most 256 kB allowed)"
else
  fail "resident size went from ${rss_before:-?} kB to ${rss_after:-?} kB"
fi

# DONE by a posted click: the modal loop looks at the window after each
# message it dispatches.
drive post-click 108
drive gone 10000 || fail "DONE by message left the window open"
check_eq "exit code after DONE" "0" "$(calc_exit_code 10)"

finish
