#!/usr/bin/env bash
# Installs what is missing, then configures and builds everything.
#   scripts/build.sh [build-dir]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
bash "$root/scripts/bootstrap.sh"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" >/dev/null
fi
ninja -C "$build" >/dev/null || ninja -C "$build"
