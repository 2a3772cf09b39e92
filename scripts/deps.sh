#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing,
# and says what it installs and why.
# Usage: scripts/deps.sh [run|test]
#
# A package mirror can lag behind for one architecture: an index of i386 or
# arm64 that fails to download, or is not there at all, so that a library's
# twin of that architecture lacks the version apt picks for the machine's
# own. Multi-arch "same" libraries must have one version in every
# architecture, and the install then cannot be resolved. What to install is
# therefore decided from apt's own simulation, tried in this order:
#   1. the packages as apt picks them;
#   2. the same with the release suite's versions preferred (-t CODENAME,
#      the codename of /etc/os-release); apt downgrades nothing for it;
#   3. downgrades of installed packages to the versions their foreign twins
#      have, made only with CI=true or TAVRIN_ALLOW_DOWNGRADE=1, and said in
#      one line in any case;
#   4. without the optional packages (the ARM build's Cairo and libxml2: the
#      ARM build then draws no plots), said in one line.
# When even the required packages cannot be installed it stops, naming them
# and apt's error.
set -euo pipefail
what=${1:-test}
case $what in run | test) ;; *) echo "usage: scripts/deps.sh [run|test]" >&2; exit 2 ;; esac

# The packages, a group a line: the command that needs them (run: both
# commands; test: the test command), whether the set-up can go on without
# them, what they are for, and the packages.
packages_table='
run  required the build and the Linux suites      | cmake make g++ googletest libbenchmark-dev pkgconf libcairo2-dev fonts-dejavu-core libxml2-dev libeigen3-dev libcli11-dev nlohmann-json3-dev
run  required the 32-bit Windows calculator under Wine on a virtual display | g++-mingw-w64-i686 wine wine32:i386 wine64 xvfb xauth imagemagick x11-utils
test required the sanitizers and the fuzz targets | clang-14 libclang-rt-14-dev
test required the window tests driven by X input  | xdotool openbox
test required the 64-bit ARM build and qemu-user, its tests emulator | g++-aarch64-linux-gnu qemu-user
test optional the 64-bit ARM build'"'"'s plots     | libcairo2-dev:arm64 libxml2-dev:arm64
test required the 64-bit Windows build            | g++-mingw-w64-x86-64-posix
test required the WebAssembly build                | emscripten
test required the browser page'"'"'s tests in a real browser | chromium
'

say() { echo "deps: $*"; }
fail() {
  echo "deps: $*" >&2
  exit 1
}

# A bare name means the machine's own architecture; dpkg -s refuses a bare
# name that instances of two architectures share (libcairo2-dev, pkgconf once
# their arm64 ones are in), so it is asked again with the architecture added.
native=$(dpkg --print-architecture)
installed() {
  dpkg -s "$1" >/dev/null 2>&1 || { [[ $1 != *:* ]] && dpkg -s "$1:$native" >/dev/null 2>&1; }
}

required=()
optional=()
required_reasons=()
optional_reasons=()
while IFS='|' read -r head names; do
  [ -n "$head" ] || continue
  read -r command need reason <<<"$head"
  [ "$command" = run ] || [ "$what" = test ] || continue
  missing_here=()
  for p in $names; do
    installed "$p" || missing_here+=("$p")
  done
  [ ${#missing_here[@]} -gt 0 ] || continue
  line="for ${reason%"${reason##*[![:space:]]}"}: ${missing_here[*]}"
  if [ "$need" = required ]; then
    required+=("${missing_here[@]}")
    required_reasons+=("$line")
  else
    optional+=("${missing_here[@]}")
    optional_reasons+=("$line")
  fi
done <<<"$packages_table"
[ ${#required[@]} -eq 0 ] && [ ${#optional[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  if [ ${#required[@]} -eq 0 ]; then
    say "not installed, and not needed to go on: ${optional[*]} (run as root to install them)"
    exit 0
  fi
  fail "missing packages: ${required[*]} ${optional[*]} (run as root to install them)"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export DEBIAN_FRONTEND=noninteractive
# shellcheck disable=SC1091
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
allow_downgrade=no
if [ "${CI:-}" = true ] || [ "${TAVRIN_ALLOW_DOWNGRADE:-}" = 1 ]; then allow_downgrade=yes; fi

# Foreign architectures the packages name (the list is read first: grep -q
# would end the pipe early, and dpkg's broken pipe fail it).
for p in "${required[@]}" "${optional[@]}"; do
  [[ $p == *:* ]] || continue
  arch=${p#*:}
  if ! grep -qx "$arch" <<<"$(dpkg --print-foreign-architectures)"; then
    say "adding the architecture $arch (for $p)"
    dpkg --add-architecture "$arch"
  fi
done

# A mirror in the middle of a sync can fail one index; the next try may get
# it. If none does, the install below is decided from the indexes that came.
say "updating the package indexes (apt-get update)"
for attempt in 1 2; do
  if apt-get update -qq >"$work/update.log" 2>&1; then break; fi
  if [ "$attempt" -eq 2 ]; then
    say "some indexes could not be fetched; going on with the others:"
    grep -E '^(E|W): ' "$work/update.log" | head -n 4 | sed 's/^/deps:   /'
  else
    sleep 5
  fi
done

# simulate ARGS...: whether apt can resolve this install; its output in
# $work/simulation.
simulate() {
  apt-get install -s -y --no-install-recommends "$@" >"$work/simulation" 2>&1
}

# blocked_downgrades: after a simulation with -t CODENAME that could not be
# resolved (its output in $work/simulation), the installed packages of the
# machine's architecture whose twin of another architecture, needed by the
# install, has no version at or above the installed one (a multi-arch library
# must have one version in both): a line "NAME INSTALLED COMMON ARCH" each,
# COMMON being the newest version both architectures have. It follows the
# unmet dependencies apt names, asking again for the dependencies of those
# not installed, three deep.
blocked_downgrades() {
  local depth=0 dep base arch inst common v
  local -a frontier=() next seen=()
  while [ $depth -eq 0 ] || { [ $depth -lt 3 ] && [ ${#frontier[@]} -gt 0 ]; }; do
    if [ $depth -gt 0 ]; then simulate -t "$codename" "${frontier[@]}" && return 0; fi
    next=()
    while read -r dep; do
      [[ $dep == *:* ]] || continue
      [[ " ${seen[*]} " == *" $dep "* ]] && continue
      seen+=("$dep")
      base=${dep%%:*}
      arch=${dep#*:}
      [ "$arch" = "$native" ] && continue
      if inst=$(dpkg-query -W -f='${Version}' "$base:$native" 2>/dev/null) && [ -n "$inst" ]; then
        apt-cache madison "$dep" | awk -F'|' '{gsub(/ /, "", $2); print $2}' | sort -u >"$work/foreign"
        grep -qxF "$inst" "$work/foreign" && continue
        common=
        while read -r v; do
          if dpkg --compare-versions "$v" lt "$inst" &&
             { [ -z "$common" ] || dpkg --compare-versions "$v" gt "$common"; }; then
            common=$v
          fi
        done < <(apt-cache madison "$base" | awk -F'|' '{gsub(/ /, "", $2); print $2}' |
                   grep -xF -f "$work/foreign")
        [ -n "$common" ] && echo "$base $inst $common $arch"
      else
        next+=("$dep")
      fi
    done < <(grep -oE '(Pre-)?Depends: [^ ]+' "$work/simulation" | awk '{print $2}')
    frontier=("${next[@]}")
    depth=$((depth + 1))
  done
}

# resolve ARGS...: sets install_args to an install of ARGS... that apt can
# resolve, by the steps at the top of this file; returns 1 when there is none.
# The downgrades are looked for again with those found so far pinned, as apt
# names only some of the unmet dependencies at a time.
install_args=()
resolve() {
  local name inst common arch round found
  local -a pins=() said=()
  if simulate "$@"; then
    install_args=("$@")
    return 0
  fi
  if [ -n "$codename" ] && simulate -t "$codename" "$@"; then
    say "the install resolves with the $codename suite's versions preferred (a foreign architecture's newer index is missing or incomplete)"
    install_args=(-t "$codename" "$@")
    return 0
  fi
  cp "$work/simulation" "$work/unresolved"
  [ -n "$codename" ] || return 1
  for round in 1 2 3 4 5; do
    found=no
    while read -r name inst common arch; do
      [[ " ${pins[*]} " == *" $name=$common "* ]] && continue
      pins+=("$name=$common" "$name:$arch=$common")
      said+=("$name $inst to $common")
      found=yes
    done < <(blocked_downgrades)
    [ "$found" = yes ] || return 1
    simulate -t "$codename" --allow-downgrades "$@" "${pins[@]}" && break
    [ "$round" -lt 5 ] || return 1
  done
  local list
  list=$(printf '%s, ' "${said[@]}")
  list=${list%, }
  if [ "$allow_downgrade" = yes ]; then
    say "downgrading $list: the newest versions their foreign twins have here, without which the install cannot be resolved (allowed by CI=true or TAVRIN_ALLOW_DOWNGRADE=1)"
    install_args=(-t "$codename" --allow-downgrades "$@" "${pins[@]}")
    return 0
  fi
  say "the install needs downgrades to the newest versions the foreign twins have here: $list; not made without CI=true or TAVRIN_ALLOW_DOWNGRADE=1"
  return 1
}

# apt_says FILE LINES: apt's reasons from a simulation that could not be
# resolved.
apt_says() { grep -E '^ .* : (Pre-)?Depends: |^E: ' "$1" | head -n "$2" | sed 's/^/deps:   /'; }
reasons=("${required_reasons[@]}")
if resolve "${required[@]}" "${optional[@]}"; then
  reasons+=("${optional_reasons[@]}")
elif [ ${#optional[@]} -gt 0 ] && mv "$work/unresolved" "$work/with-optional" &&
     resolve "${required[@]}"; then
  say "cannot install ${optional[*]}, so the 64-bit ARM build goes without plots; apt says:"
  apt_says "$work/with-optional" 4
else
  fail "cannot install the packages: ${required[*]}; try again when the mirror has caught up. apt says:
$(apt_says "$work/unresolved" 8)"
fi

[ ${#install_args[@]} -gt 0 ] || exit 0
for r in "${reasons[@]}"; do say "installing $r"; done
if ! apt-get install -y -qq --no-install-recommends "${install_args[@]}" >"$work/install.log" 2>&1; then
  echo "deps: apt-get install failed; apt says:" >&2
  grep -E '^(E|W): ' "$work/install.log" | head -n 8 | sed 's/^/deps:   /' >&2
  exit 1
fi
say "installed"
