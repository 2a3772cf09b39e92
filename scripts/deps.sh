#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
# Usage: scripts/deps.sh [run|test]
set -euo pipefail
what=${1:-test}

packages=(cmake make g++ googletest libbenchmark-dev pkgconf libcairo2-dev fonts-dejavu-core
          libxml2-dev libeigen3-dev
          g++-mingw-w64-i686 wine wine32:i386 wine64 xvfb xauth imagemagick x11-utils)
if [ "$what" = test ]; then
  packages+=(clang-14 libclang-rt-14-dev xdotool openbox)
  # The 64-bit ARM build and the emulator its tests run under.
  packages+=(g++-aarch64-linux-gnu qemu-user libcairo2-dev:arm64 libxml2-dev:arm64)
  # The 64-bit Windows build (its tests run under wine64, installed above).
  packages+=(g++-mingw-w64-x86-64-posix)
  # The WebAssembly build (its tests and tool run under node, which it brings).
  packages+=(emscripten)
fi

# A bare name means the machine's own architecture; dpkg -s refuses a bare
# name that instances of two architectures share (libcairo2-dev, pkgconf once
# their arm64 ones are in), so it is asked again with the architecture added.
native=$(dpkg --print-architecture)
installed() {
  dpkg -s "$1" >/dev/null 2>&1 || { [[ $1 != *:* ]] && dpkg -s "$1:$native" >/dev/null 2>&1; }
}
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
for arch in i386 arm64; do
  if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    dpkg --add-architecture "$arch"
  fi
done
export DEBIAN_FRONTEND=noninteractive
# A mirror in the middle of a sync can fail one index; the next try may get
# it, and if none does the install below still works from the indexes that
# came (it fails by itself if a package cannot be found).
for attempt in 1 2 3; do
  apt-get update -qq && break
  echo "apt-get update failed (attempt $attempt of 3)" >&2
  [ "$attempt" -lt 3 ] && sleep 10
done
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
