#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, and does nothing
# when everything is already present. Safe to run on every build.
set -euo pipefail

packages=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest wine wine64 wine32:i386
          fonts-wine fonts-droid-fallback fonts-symbola fonts-dejavu-core xvfb xauth openbox imagemagick
          icoutils x11-apps xdotool python3 file locales)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ "$(id -u)" -ne 0 ]; then
  sudo=sudo
else
  sudo=
fi

# The double-byte test runs give Wine a Japanese locale; its file names are
# then encoded by that locale, which must exist.
make_locale() {
  if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  fi
}
if [ ${#missing[@]} -eq 0 ]; then
  make_locale
  exit 0
fi

echo "bootstrap: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
make_locale
