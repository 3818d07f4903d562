#!/usr/bin/env bash
# Makes the release archives, <build>/win32/Varnet-<version>-win32.zip and
# <build>/win64/Varnet-<version>-win64.zip (the version of Varnet.dll's
# version block), or the one named, and prints the size and files of each.
#   scripts/package.sh [--build DIR] [--arch win32|win64]
#                                     (default: build, both; built first)
set -euo pipefail
. "$(dirname "$0")/lib.sh"
varnet_options "package.sh [--build DIR] [--arch win32|win64]" "$@"
bash "$varnet_root/scripts/build.sh" --build "$varnet_build" ${varnet_arch_opt:+--arch "$varnet_arch_opt"}
# show ZIP: its size and the files it holds.
show() {
python3 - "$1" <<'PY'
import os, sys, zipfile
path = sys.argv[1]
with zipfile.ZipFile(path) as z:
    files = [i for i in z.infolist() if not i.is_dir()]
size = os.path.getsize(path)
print(f"{path}: {size:,} bytes ({size / 1024:,.0f} KB), "
      f"{len(files)} files, {sum(i.file_size for i in files):,} bytes unpacked")
for i in sorted(files, key=lambda i: i.filename):
    print(f"{i.file_size:>10,}  {i.filename}")
PY
}

for arch in $(varnet_arches); do
  build=$(cd "$(varnet_tree "$arch")" && pwd)
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  zip=$build/Varnet-$version-$arch.zip
  rm -f "$zip"
  cmake --build "$build" --target package >/dev/null
  [ -f "$zip" ] || { echo "package: $zip was not made" >&2; exit 1; }
  show "$zip"
done
