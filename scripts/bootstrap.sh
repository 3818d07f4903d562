#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, and does nothing
# when everything is already present. Safe to run on every build.
#
# It installs what it can and says what it could not:
#   1. the package indexes: a failed `apt-get update` is tried again a few
#      times; then the set-up goes on with the indexes that were fetched
#      (a mirror that is out of step fails one index for hours at a time);
#   2. what every machine needs, in one step: the toolchains, 64-bit Wine,
#      the fonts and the display tools. When one of them cannot be
#      installed, the set-up stops, naming it and giving apt's reason;
#   3. 32-bit Wine, only where the machine runs 32-bit programs. When it
#      cannot be installed, one line says so and why, and the set-up goes
#      on: the tests then run the x86-64 build and name what they did not
#      run. That failure is remembered for a day (VARNET_BOOTSTRAP_STATE),
#      so that every command does not wait on the mirror again;
#      `bootstrap.sh --retry` tries at once.
# Exit code: 0 when everything every machine needs is there; 1 otherwise.
#
# For its tests: VARNET_BOOTSTRAP_PAUSE (seconds between index attempts),
# VARNET_BOOTSTRAP_STATE (the folder of the remembered failure) and
# VARNET_BOOTSTRAP_PROBE32 (a command that stands in for the 32-bit probe).
set -uo pipefail
. "$(dirname "$0")/lib.sh"

base=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest wine wine64
      fonts-wine fonts-droid-fallback fonts-symbola fonts-dejavu-core xvfb xauth openbox imagemagick
      icoutils x11-apps xdotool python3 file locales)
wine32=wine32:i386
tries=3
pause=${VARNET_BOOTSTRAP_PAUSE:-5}
state=${VARNET_BOOTSTRAP_STATE:-/var/tmp/varnet-bootstrap}
failed32=$state/wine32-failed
retry=0
[ "${1:-}" = --retry ] && retry=1

say() { echo "bootstrap: $*" >&2; }

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

can_run_32() {
  if [ -n "${VARNET_BOOTSTRAP_PROBE32:-}" ]; then
    $VARNET_BOOTSTRAP_PROBE32
  else
    varnet_runs_32bit
  fi
}

if [ "$(id -u)" -ne 0 ]; then
  sudo=sudo
else
  sudo=
fi

# The double-byte test runs give Wine a Japanese locale; its file names are
# then encoded by that locale, which must exist.
make_locale() {
  if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || say "the locale ja_JP.UTF-8 could not be made"
  fi
}

# apt's own reason: its error lines, else its last lines.
apt_reason() {
  local reason
  reason=$(grep -E '^(E:| [^ ].* : (Depends|PreDepends|Conflicts|Breaks):)' "$1" | head -n 6)
  [ -n "$reason" ] || reason=$(tail -n 3 "$1")
  printf '%s\n' "$reason" | sed 's/^/  /'
}

# An interrupted dpkg run leaves packages unpacked but not configured:
# finish them, so that the package system is never left half-configured.
settle() {
  if [ -n "$($sudo dpkg --audit 2>/dev/null)" ]; then
    say "finishing the configuration of packages that dpkg left half-done"
    $sudo dpkg --configure -a >&2 || true
  fi
}

update() {
  local i out
  out=$(mktemp)
  for ((i = 1; i <= tries; i++)); do
    if $sudo apt-get update -qq >"$out" 2>&1; then
      rm -f "$out"
      return 0
    fi
    [ $i -lt $tries ] && sleep "$pause"
  done
  say "some package indexes could not be fetched ($tries tries); going on with those that were:"
  apt_reason "$out" >&2
  rm -f "$out"
}

# install LOG PACKAGES...: apt-get install, its output in LOG.
install() {
  local log=$1
  shift
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@" >"$log" 2>&1
}

missing=()
for p in "${base[@]}"; do
  installed "$p" || missing+=("$p")
done
want32=0
if ! installed "$wine32"; then
  if ! can_run_32; then
    say "32-bit Wine is not installed: this machine cannot run 32-bit programs"
  elif [ $retry -eq 0 ] && [ -f "$failed32" ] && [ -n "$(find "$failed32" -mmin -1440 2>/dev/null)" ]; then
    say "32-bit Wine is not installed: it could not be installed at $(date -r "$failed32" '+%F %H:%M')" \
        "($(head -n 1 "$failed32")); tried again a day later, or now by scripts/bootstrap.sh --retry"
  else
    want32=1
  fi
fi
if [ ${#missing[@]} -eq 0 ] && [ $want32 -eq 0 ]; then
  make_locale
  exit 0
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if [ $want32 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  say "adding the i386 architecture to dpkg, for 32-bit Wine"
  $sudo dpkg --add-architecture i386
fi
update

if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  if ! install "$log" "${missing[@]}"; then
    settle
    say "these packages could not be installed, and the build needs them:"
    for p in "${missing[@]}"; do
      installed "$p" && continue
      if $sudo apt-get install -s -qq --no-install-recommends "$p" >"$log" 2>&1; then
        echo "  $p (apt could install it alone: see the reasons of the others)" >&2
      else
        echo "  $p:" >&2
        apt_reason "$log" >&2
      fi
    done
    exit 1
  fi
fi

if [ $want32 -eq 1 ]; then
  say "installing $wine32"
  if install "$log" "$wine32"; then
    rm -f "$failed32"
  else
    settle
    reason=$(apt_reason "$log" | sed 's/^ *//' | paste -sd ';' | sed 's/;/; /g')
    say "32-bit Wine could not be installed, going on without it (the x86 build's tests will not run" \
        "under Wine): ${reason:-apt-get failed}"
    mkdir -p "$state" 2>/dev/null && printf '%s\n' "${reason:-apt-get failed}" > "$failed32" 2>/dev/null
  fi
fi
make_locale
exit 0
