#!/usr/bin/env bash
# Makes the release archive, <build>/Varnet-<version>-win32.zip (the version
# of Varnet.dll's version block), and prints its size and the files it holds.
#   scripts/package.sh [build-dir]    (default: build; built first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
bash "$root/scripts/build.sh" "$build"
build=$(cd "$build" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip=$build/Varnet-$version-win32.zip
rm -f "$zip"
cmake --build "$build" --target package >/dev/null
[ -f "$zip" ] || { echo "package: $zip was not made" >&2; exit 1; }
python3 - "$zip" <<'PY'
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
