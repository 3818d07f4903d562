#!/usr/bin/env bash
# Builds everything and runs every test under Wine, in the build's private
# prefix. The last thing printed is ctest's summary.
#   scripts/test.sh [build-dir]       (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
bash "$root/scripts/build.sh" "$build"
build=$(cd "$build" && pwd)

# The test drives start empty; the prefix is made on first use.
bash "$root/scripts/wine-prefix.sh" test "$build"
rm -rf "$build"/drives/a/* "$build"/drives/d/* "$build"/drives/n/*
export WINEPREFIX="$build/wine/test"
# One server for the whole run, with no descriptors of ours: Wine's helper
# processes would otherwise keep ctest's pipes open.
env -u DISPLAY wineserver -p </dev/null >/dev/null 2>&1 || true
# The prefix's services (winedevice) start with the first program of a new
# server; start them here, detached from our output.
env -u DISPLAY timeout 60 wineboot </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

cd "$build"
ctest --output-on-failure -j2 --timeout 600
