#!/bin/sh
# The page's build and browser tests from a fresh clone: the npm packages from
# the lockfile, the page built around the core module, the tests in Debian's
# Chromium. Needs build/web/tavrin-core.js (the web preset) and the host tool.
#   web/test.sh [CORE_JS]      TAVRIN_TOOL=path/to/tavrin to use another tool
set -eu
web=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$web")
core=${1:-$root/build/web/tavrin-core.js}
cd "$web"
npm ci --no-audit --no-fund --loglevel=error
node build.mjs "$core" "$root/build/web/tavrin.html"
export TAVRIN_TOOL="${TAVRIN_TOOL:-$root/build/host/bin/tavrin}"
node --test --test-concurrency=1 tests/
