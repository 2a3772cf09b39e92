#!/usr/bin/env bash
# Builds the calculator and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake --preset host >/dev/null
cmake --build --preset host -j "$(nproc)" --target tavrin >/dev/null
exec build/host/bin/tavrin calc 1 50 2.0 2.0
