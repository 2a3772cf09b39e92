# Shared steps of the end-to-end tests: a virtual display of their own with a
# light window manager, a Wine prefix in the build tree, the calculator
# started under Wine, the driver program that reads the window from another
# process, and checks that count failures.
#
# Sourced by the scenario scripts with E2E_BUILD set to the win32 build tree.

set -uo pipefail

: "${E2E_BUILD:?E2E_BUILD must name the win32 build tree}"
E2E_BIN=$E2E_BUILD/bin
E2E_ARTIFACTS=$E2E_BUILD/artifacts
export WINEPREFIX=${E2E_WINEPREFIX:-$E2E_BUILD/e2e-wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
mkdir -p "$E2E_ARTIFACTS"

e2e_failures=0
e2e_pids=()
calc_pid=
calc_rc_file=

# fail MESSAGE: records a failed check and goes on.
fail() {
  echo "FAIL: $*" >&2
  e2e_failures=$((e2e_failures + 1))
}

pass() { echo "ok: $*"; }

# check_eq WHAT EXPECTED ACTUAL
check_eq() {
  if [ "$2" == "$3" ]; then pass "$1"; else fail "$1: expected \"${2:0:80}\", got \"${3:0:80}\""; fi
}

# cleanup: ends what this script started, the newest first.
cleanup() {
  local k
  wineserver -k 2>/dev/null || true
  [ -n "$calc_rc_file" ] && rm -f "$calc_rc_file"
  for ((k = ${#e2e_pids[@]} - 1; k >= 0; k--)); do kill "${e2e_pids[k]}" 2>/dev/null; done
  wait 2>/dev/null
}
trap cleanup EXIT

# start_display: an Xvfb of our own (others' windows must not take the
# keyboard focus) and openbox, which turns Alt+F4 into the close command.
start_display() {
  local fd_file=$E2E_ARTIFACTS/.display.$$
  rm -f "$fd_file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  e2e_pids+=($!)
  local k
  for k in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n 1 "$fd_file")"
  rm -f "$fd_file"
  for k in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  openbox --sm-disable >/dev/null 2>&1 &
  e2e_pids+=($!)
  # The prefix is made once per build tree; the first start is slow.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
  fi
  for k in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
}

# drive ARGS...: runs the driver program; its output on stdout.
drive() { wine "$E2E_BIN/e2e-driver.exe" "$@"; }

# start_calc: starts tavrin-calc.exe and waits for its window.
start_calc() {
  calc_rc_file=$E2E_ARTIFACTS/.calc-rc.$$
  rm -f "$calc_rc_file"
  ( wine "$E2E_BIN/tavrin-calc.exe"; echo $? >"$calc_rc_file" ) &
  calc_pid=$!
  if ! drive find 60000 >/dev/null; then
    fail "the window \"TAVRIN Schlumberger\" did not appear"
    return 1
  fi
}

# calc_exit_code [TIMEOUT_SECONDS]: waits for the program to end; prints its
# exit code, or "running" when it did not end in time.
calc_exit_code() {
  local limit=${1:-10} k
  for k in $(seq $((limit * 20))); do
    if [ -s "$calc_rc_file" ]; then cat "$calc_rc_file"; return 0; fi
    sleep 0.05
  done
  echo running
}

# calc_unix_pid: the Linux process id of the running calculator (the one
# started in this script's Wine prefix).
calc_unix_pid() {
  local p
  for p in $(pgrep -f 'tavrin-calc[.]exe'); do
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$p"
      return 0
    fi
  done
  return 1
}

# rss_kb PID: resident size of a Linux process in kB.
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }

# center ID: X root coordinates of a control's middle.
center() { drive center "$1"; }

# click_control ID: moves the real mouse onto the control and clicks it.
click_control() {
  local x y
  read -r x y < <(center "$1")
  xdotool mousemove "$x" "$y" click 1
}

# wait_focus ID: polls until the control with ID has the keyboard focus.
wait_focus() {
  local k got=
  for k in $(seq 100); do
    got=$(drive focus)
    [ "$got" == "$1" ] && return 0
    sleep 0.05
  done
  echo "$got"
  return 1
}

# type_into ID TEXT: clicks into a box, selects its text and types TEXT over
# it (an empty TEXT deletes it).
type_into() {
  click_control "$1"
  wait_focus "$1" >/dev/null || fail "box $1 did not take the focus"
  xdotool key End shift+Home
  if [ -n "$2" ]; then xdotool type --delay 10 -- "$2"; else xdotool key BackSpace; fi
  drive wait "$1" "$2" 3000 || fail "box $1 does not show \"$2\" after typing"
}

# still_open SECONDS: true when the window is still there after SECONDS.
still_open() {
  sleep "$1"
  drive find 100 >/dev/null
}

# screenshot NAME: saves the whole virtual screen as NAME.png in artifacts.
screenshot() {
  import -display "$DISPLAY" -window root "$E2E_ARTIFACTS/$1.png" 2>/dev/null ||
    fail "screenshot $1 could not be taken"
}

# finish: the summary line and the exit status of the scenario.
finish() {
  if [ "$e2e_failures" -eq 0 ]; then
    echo "all checks passed"
    exit 0
  fi
  echo "$e2e_failures check(s) failed"
  exit 1
}
