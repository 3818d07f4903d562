#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, and does nothing
# when everything is already present. Safe to run on every build.
set -euo pipefail

packages=(cmake ninja-build g++-mingw-w64-i686 googletest wine wine32:i386
          fonts-wine xvfb xauth imagemagick icoutils x11-apps xdotool python3 file)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  sudo=sudo
else
  sudo=
fi
echo "bootstrap: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
