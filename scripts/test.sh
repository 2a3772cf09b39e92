#!/usr/bin/env bash
# Builds and runs every test: the Linux suites, the same on the software
# extended real (with its differential tests against the x87 unit and the
# tool's output for a generated corpus compared with the x87 build's) and under
# the sanitizers, the Windows suites under Wine (32- and 64-bit, and the corpus
# through the 64-bit Windows tool), every suite of the 64-bit ARM
# build under qemu-user (and the corpus through its tool), the WebAssembly
# build's under node (and the corpus through its tool), the browser page's
# module under node and the page in Chromium, and the fuzz targets for a
# bounded time.
# Ends with one line "N passed, M failed" (", K skipped" after it when a build
# lacks what a suite needs) and exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/deps.sh test || exit 1

jobs=$(nproc)
fuzz_seconds=${TAVRIN_FUZZ_SECONDS:-60}
corpus_inputs=${TAVRIN_CORPUS_INPUTS:-20000}
passed=0
failed=0
skipped=0
log_dir=$root/build/logs
# The 64-bit ARM tool under the emulator its suites run under (the line of
# cmake/aarch64-linux.toolchain.cmake).
aarch64_tool="qemu-aarch64 -L /usr/aarch64-linux-gnu -E LD_LIBRARY_PATH=/usr/aarch64-linux-gnu/lib
  build/aarch64/bin/tavrin"
# The 64-bit Windows tool under the loader its suites run under.
win64_tool="/usr/lib/wine/wine64 build/win64/bin/tavrin.exe"
# The WebAssembly tool under node (the emulator of
# cmake/wasm-emscripten.toolchain.cmake).
wasm_tool="node --no-experimental-fetch build/wasm/bin/tavrin.js"
mkdir -p "$log_dir"

# One virtual display for every Windows test (Wine makes no window without one).
if [ -z "${DISPLAY:-}" ]; then
  display_number=$((90 + RANDOM % 100))
  Xvfb ":$display_number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null' EXIT
  export DISPLAY=":$display_number"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

# count_ctest LOG PRESET: adds the counts of one ctest summary line to the
# totals. ctest counts a skipped suite among those passed: it is counted
# apart, and the reason it printed is shown.
count_ctest() {
  local line total bad skip
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then
    if grep -q 'No tests were found' "$1"; then return 0; fi
    failed=$((failed + 1))
    return 0
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  skip=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$1")
  if [ "$skip" -gt 0 ]; then
    grep -h '^skipped: ' "build/$2/Testing/Temporary/LastTest.log" 2>/dev/null | sort -u | sed "s/^/$2: /"
  fi
  passed=$((passed + total - bad - skip))
  failed=$((failed + bad))
  skipped=$((skipped + skip))
}

for preset in host host-soft host-asan win32 win64 aarch64 wasm web; do
  echo "== $preset"
  if ! { cmake --preset "$preset" >"$log_dir/$preset-configure.log" 2>&1 &&
         cmake --build --preset "$preset" -j "$jobs" >"$log_dir/$preset-build.log" 2>&1; }; then
    echo "build failed: see $log_dir/$preset-*.log"
    tail -n 30 "$log_dir/$preset-build.log" 2>/dev/null || tail -n 30 "$log_dir/$preset-configure.log"
    failed=$((failed + 1))
    continue
  fi
  parallel=$jobs
  if [ "$preset" = win32 ] || [ "$preset" = win64 ]; then
    # One at a time: Windows tests share the display, and a window of one
    # test would take the activation and the focus from another.
    parallel=1
    # The loader of cmake/wine-run.sh for this preset.
    wine=wine
    wineserver=wineserver
    if [ "$preset" = win64 ]; then
      # The wine64 package alone puts neither on the PATH: its own ones.
      wine=/usr/lib/wine/wine64
      wineserver=/usr/lib/wine/wineserver
    fi
    # Make the Wine prefix once, before the first test starts.
    # Wait for Wine's start-up services to settle: the first program run in
    # a prefix still being set up can get no window at all.
    WINEPREFIX=$root/build/$preset/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
      "$wine" wineboot -i >/dev/null 2>&1
    WINEPREFIX=$root/build/$preset/wineprefix timeout 60 "$wineserver" -w
  fi
  ctest --preset "$preset" -j "$parallel" 2>&1 | tee "$log_dir/$preset-ctest.log"
  count_ctest "$log_dir/$preset-ctest.log" "$preset"
  if [ "$preset" = host-soft ]; then
    # The whole tool on both backends: byte-identical output for a corpus.
    if python3 scripts/corpus.py generate "$corpus_inputs" build/corpus >/dev/null &&
       python3 scripts/corpus.py compare build/host/bin/tavrin build/host-soft/bin/tavrin \
         build/corpus; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
    fi
  fi
  if [ "$preset" = win64 ]; then
    # The same corpus through the Windows tool, one process for all its
    # command lines: the x87 build's output, byte for byte.
    if WINEPREFIX=$root/build/win64/wineprefix WINEDEBUG=-all \
         python3 scripts/corpus.py compare build/host/bin/tavrin "$win64_tool" build/corpus; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
    fi
  fi
  if [ "$preset" = aarch64 ]; then
    # The same corpus through the ARM tool: the x87 build's output, byte for byte.
    if python3 scripts/corpus.py compare build/host/bin/tavrin "$aarch64_tool" build/corpus; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
    fi
  fi
  if [ "$preset" = web ]; then
    # The page around the module, built into one file and tried in Debian's
    # Chromium against the host tool.
    if web/test.sh 2>&1 | tee "$log_dir/web-page.log"; then
      passed=$((passed + 1))
    else
      echo "the browser page's tests failed: see $log_dir/web-page.log"
      failed=$((failed + 1))
    fi
  fi
  if [ "$preset" = wasm ]; then
    # The same corpus through the WebAssembly tool, byte for byte.
    if python3 scripts/corpus.py compare build/host/bin/tavrin "$wasm_tool" build/corpus; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
    fi
  fi
done

echo "== fuzz (${fuzz_seconds}s per target, $jobs at a time)"
# fuzz_one TARGET: runs one target for its time; its verdict in its log's
# .status file.
fuzz_one() {
  local target=$1 name corpus seeds
  name=$(basename "$target")
  corpus=$root/build/fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=$root/fuzz/seeds/${name#fuzz_}
  # -close_fd_mask=3: the targets' own output (the tool's results and notes) is
  # closed; findings are still reported. -timeout: an input that runs 30 s hangs.
  "$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 -close_fd_mask=3 \
    -timeout=30 "$corpus" \
    $( [ -d "$seeds" ] && echo "$seeds" ) >"$log_dir/$name.log" 2>&1
  echo $? >"$log_dir/$name.status"
}
if cmake --preset fuzz >"$log_dir/fuzz-configure.log" 2>&1 &&
   cmake --build --preset fuzz -j "$jobs" >"$log_dir/fuzz-build.log" 2>&1; then
  # One target a core: each still has its whole time. Only the targets'
  # processes are counted and waited for (the virtual display is a job too).
  targets=()
  pids=()
  for target in build/fuzz/bin/fuzz_*; do
    [ -x "$target" ] || continue
    targets+=("$target")
    rm -f "$log_dir/$(basename "$target").status"
    while :; do
      running=()
      for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && running+=("$pid"); done
      pids=("${running[@]}")
      [ ${#pids[@]} -lt "$jobs" ] && break
      sleep 1
    done
    fuzz_one "$target" &
    pids+=($!)
  done
  [ ${#pids[@]} -eq 0 ] || wait "${pids[@]}"
  for target in "${targets[@]}"; do
    name=$(basename "$target")
    if [ "$(cat "$log_dir/$name.status" 2>/dev/null)" = 0 ]; then
      echo "$name: no finding"
      passed=$((passed + 1))
    else
      echo "$name: FINDING (see $log_dir/$name.log)"
      tail -n 40 "$log_dir/$name.log"
      failed=$((failed + 1))
    fi
  done
else
  echo "fuzz build failed: see $log_dir/fuzz-*.log"
  tail -n 30 "$log_dir/fuzz-build.log"
  failed=$((failed + 1))
fi

if [ "$skipped" -gt 0 ]; then
  echo "$passed passed, $failed failed, $skipped skipped"
else
  echo "$passed passed, $failed failed"
fi
[ "$failed" -eq 0 ]
