#!/usr/bin/env bash
# The calculator as a user works it: the window as it first shows, typing into
# the boxes, Tab through the tab stops, CALC and DONE clicked with the mouse,
# Esc and Enter leaving the window open, the read-only result box.
# Usage: calculator_user.sh WIN32_BUILD_DIR
# Leaves screenshots in WIN32_BUILD_DIR/artifacts: the screen at start and
# with the first result, and the window alone (calculator-window.png).
E2E_BUILD=$(cd "$1" && pwd)
. "$(dirname "$0")/lib.sh"

start_display
start_calc || finish

# --- The window as it first shows -------------------------------------------
# class, id, style, extended style, text; the dialog first, then the controls
# in creation order.
expected_layout=$(cat <<'LAYOUT'
#32770 0 0x94C000D4 0x00010101 TAVRIN Schlumberger
Static -1 0x50000000 0x00000000 n
Static -1 0x50000000 0x00000000 a
Static -1 0x50000000 0x00000000 v
Static -1 0x50000000 0x00000000 i
Static -1 0x50000000 0x00000000 Rho
Static -1 0x50000000 0x00000000 --
Static -1 0x50000000 0x00000000 FT
Static -1 0x50000000 0x00000000 Volts
Static -1 0x50000000 0x00000000 Amps
Static -1 0x50000000 0x00000000 OHM-FT
Edit 101 0x50010080 0x00000200 1
Edit 102 0x50010080 0x00000200 50
Edit 103 0x50010080 0x00000200 2.0
Edit 104 0x50010080 0x00000200 2.0
Edit 106 0x50000800 0x00000200 -
Button 107 0x50010000 0x00000000 CALC
Button 108 0x50010000 0x00000000 DONE
LAYOUT
)
check_eq "window, controls, styles and texts at start" "$expected_layout" "$(drive list)"
screenshot calculator-start

# --- Tab order: boxes 101 to 104, CALC, DONE, and round again ----------------
click_control 101
wait_focus 101 >/dev/null || fail "box 101 did not take the focus on a click"
for next in 102 103 104 107 108 101; do
  xdotool key Tab
  got=$(wait_focus "$next") || fail "Tab should reach $next, focus is on $got"
done

# --- CALC with the defaults --------------------------------------------------
click_control 107
drive wait 106 "314.2" 5000 && pass "CALC with the defaults shows 314.2" ||
  fail "CALC with the defaults"
screenshot calculator-314
# The window alone.
read -r wx wy ww wh < <(drive rect 0)
convert "$E2E_ARTIFACTS/calculator-314.png" -crop "${ww}x${wh}+${wx}+${wy}" +repage \
  "$E2E_ARTIFACTS/calculator-window.png" || fail "window screenshot"

# --- Editing without CALC leaves the result alone ----------------------------
type_into 101 "2"
sleep 0.3
check_eq "result after editing n without CALC" "314.2" "$(drive get 106)"

# --- Changed inputs ----------------------------------------------------------
type_into 102 "10"
type_into 103 "0.5"
type_into 104 "0.1"
click_control 107
drive wait 106 "942.5" 5000 && pass "n 2, a 10, v 0.5, i 0.1 give 942.5" ||
  fail "CALC with n 2, a 10, v 0.5, i 0.1"

# --- The result box refuses typed input --------------------------------------
click_control 106
sleep 0.2
xdotool type --delay 10 "123"
xdotool key BackSpace Delete
sleep 0.3
check_eq "result box after typing into it" "942.5" "$(drive get 106)"

# --- Esc and Enter do not end the window -------------------------------------
click_control 103
wait_focus 103 >/dev/null || fail "box 103 did not take the focus"
xdotool key Escape
still_open 0.7 && pass "Esc leaves the window open" || fail "Esc ended the window"
xdotool key Return
still_open 0.7 && pass "Enter in a text box leaves the window open" ||
  fail "Enter ended the window"
check_eq "result after Esc and Enter" "942.5" "$(drive get 106)"

# --- A zero current: +infinity as nineteen 9s, 980 zeros and a point ---------
type_into 101 "1"
type_into 102 "50"
type_into 103 "2.0"
type_into 104 "0"
click_control 107
infinity_text="$(printf '9%.0s' $(seq 19))$(printf '0%.0s' $(seq 980))."
drive wait 106 "$infinity_text" 5000 && pass "a zero current shows the 1000-character text" ||
  fail "CALC with a zero current"
check_eq "length of the infinity text" "1000" "$(drive len 106)"

# --- All four boxes empty: NaN shows as "0." ---------------------------------
for box in 101 102 103 104; do type_into "$box" ""; done
click_control 107
drive wait 106 "0." 5000 && pass "empty inputs show 0." || fail "CALC with empty inputs"

# --- DONE ends the program with exit code 0 ----------------------------------
click_control 108
drive gone 10000 && pass "DONE closes the window" || fail "DONE left the window open"
check_eq "exit code after DONE" "0" "$(calc_exit_code 10)"

finish
