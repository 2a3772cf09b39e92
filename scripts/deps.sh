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
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
