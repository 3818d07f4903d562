#!/usr/bin/env bash
# Builds everything and runs every test under Wine, in the build's private
# prefix. The last thing printed is ctest's summary.
#   scripts/test.sh [build-dir]       (default: build)
# The run has a home folder of its own, empty at the start; when anything
# was written into it, the run fails and says what.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home
bash "$root/scripts/build.sh" "$build"
build=$(cd "$build" && pwd)

# The test drives start empty; the prefix is made on first use.
bash "$root/scripts/wine-prefix.sh" test "$build"
rm -rf "$build"/drives/a/* "$build"/drives/d/* "$build"/drives/n/*
. "$root/scripts/wine-env.sh"
varnet_wine_env test "$build"
# One server for the whole run, with no descriptors of ours: Wine's helper
# processes would otherwise keep ctest's pipes open.
env -u DISPLAY wineserver -p </dev/null >/dev/null 2>&1 || true
# The prefix's services (winedevice) start with the first program of a new
# server; start them here, detached from our output.
env -u DISPLAY timeout 60 wineboot </dev/null >/dev/null 2>&1 || true
# The desktop process (explorer.exe /desktop) starts with the first
# program that needs a window, and it keeps that program's output open
# until it ends on its own: ctest then waited a minute and more for a test
# that had ended. Started here, detached from our output.
env -u DISPLAY timeout 60 wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$home"' EXIT

cd "$build"
rc=0
ctest --output-on-failure -j2 --timeout 600 || rc=$?
if [ -n "$(ls -A "$home")" ]; then
  echo "test.sh: the run wrote into the home folder:" >&2
  (cd "$home" && find . -mindepth 1 | sort | sed 's|^\./|  ~/|' >&2)
  exit 1
fi
exit $rc
