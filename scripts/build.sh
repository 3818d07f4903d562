#!/usr/bin/env bash
# Installs what is missing, then configures and builds both architectures
# (or the one named) into <build>/win32 and <build>/win64. The compiler's
# warnings are shown; its progress lines are not.
#   scripts/build.sh [--build DIR] [--arch win32|win64]   (default: build, both)
set -euo pipefail
. "$(dirname "$0")/lib.sh"
varnet_options "build.sh [--build DIR] [--arch win32|win64]" "$@"
bash "$varnet_root/scripts/bootstrap.sh"
for arch in $(varnet_arches); do
  tree=$(varnet_tree "$arch")
  case $arch in
    win32) toolchain=$varnet_root/cmake/toolchain-mingw32.cmake ;;
    win64) toolchain=$varnet_root/cmake/toolchain-mingw64.cmake ;;
  esac
  if [ ! -f "$tree/build.ninja" ]; then
    cmake -S "$varnet_root" -B "$tree" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
  fi
  ninja -C "$tree" --quiet
done
