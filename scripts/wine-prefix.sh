#!/usr/bin/env bash
# Creates (once) and starts a private Wine prefix for Varnet.
#   wine-prefix.sh test <build-tree>  tests: null display driver, test drives
#   wine-prefix.sh ui   <build-tree>  the pick tool: X11 driver, each window
#                                     a window of the user's desktop
#   wine-prefix.sh test-dpiN|ui-dpiN <build-tree>
#                                     as test or ui, with the display at N dots per
#                                     inch (144: 150 %, 192: 200 %); Wine reads
#                                     the setting as each program starts
# Prints nothing on success; when Wine cannot start or cannot make the
# prefix, says why and exits non-zero. The prefix lives inside the build
# tree, is made for the tree's architecture (win32 or win64), and never
# touches the user's own prefix or home folder. It is made again when Wine,
# the architecture or this set-up changes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
kind=$1
# The test prefixes at another scale are test prefixes of their own.
base=$kind dpi=
case $kind in
  *-dpi[0-9]*) base=${kind%-dpi*} dpi=${kind##*-dpi} ;;
esac
build=$(cd "$2" && pwd)
prefix=$build/wine/$kind
drives=$build/drives
varnet_wine_env "$kind" "$build"
varnet_wine_check
WINEDEBUG=-all
# What the prefix was made with: a prefix made by another Wine, for another
# architecture or by an older set-up is made afresh.
setup="$("$WINELOADER" --version 2>/dev/null) $WINEARCH setup 3${dpi:+ dpi $dpi}"

mkdir -p "$build/wine"
exec 8>"$build/wine/$kind.lock"
flock 8

if [ "$(cat "$prefix/.varnet-ready" 2>/dev/null)" != "$setup" ]; then
  # The server of an older prefix in this place goes with it.
  if [ -d "$prefix" ]; then
    env -u DISPLAY timeout 20 wineserver -k </dev/null >/dev/null 2>&1 8>&- || true
  fi
  rm -rf "$prefix"
  # Start the server ourselves with no inherited descriptors: Wine's helper
  # processes otherwise keep the caller's pipes open.
  env -u DISPLAY wineserver -p5 </dev/null >/dev/null 2>&1 8>&- || true
  log=$build/wine/$kind.log
  if ! env -u DISPLAY "$WINELOADER" wineboot.exe -i </dev/null >"$log" 2>&1 8>&-; then
    echo "wine-prefix: Wine could not make the prefix $prefix:" >&2
    cat "$log" >&2
    exit 1
  fi
  env -u DISPLAY wineserver -w 8>&-

  reg=$build/wine/$kind.reg
  {
    echo 'REGEDIT4'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
    echo '"ShowCrashDialog"=dword:00000000'
    echo
    # The menu builder stays off in this prefix whoever starts Wine in it.
    echo '[HKEY_CURRENT_USER\Software\Wine\DllOverrides]'
    echo '"winemenubuilder.exe"=""'
    echo
    if [ -n "$dpi" ]; then
      printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n\n' "$dpi"
      printf '[HKEY_CURRENT_CONFIG\\Software\\Fonts]\n"LogPixels"=dword:%08x\n\n' "$dpi"
    fi
    if [ "$base" = test ]; then
      echo '[HKEY_CURRENT_USER\Software\Wine\Drivers]'
      echo '"Graphics"="null"'
      echo
    fi
    echo '[HKEY_LOCAL_MACHINE\Software\Wine\Drives]'
    if [ "$base" = test ]; then
      echo '"a:"="floppy"'
      echo '"d:"="hd"'
      echo '"e:"="cdrom"'
      echo '"n:"="network"'
    else
      echo '"d:"="hd"'
    fi
  } > "$reg"
  env -u DISPLAY "$WINELOADER" regedit.exe /S "$reg" </dev/null >/dev/null 2>&1 8>&-
  env -u DISPLAY wineserver -w 8>&-

  dd=$prefix/dosdevices
  if [ "$base" = test ]; then
    # Tests never see the machine's folders: drive Z: goes, and the test
    # drives map onto folders of the build tree. E: is a CD drive without a
    # medium (its target does not exist).
    rm -f "$dd/z:"
    mkdir -p "$drives/a" "$drives/d" "$drives/n"
    ln -sfn "$drives/a" "$dd/a:"
    ln -sfn "$drives/d" "$dd/d:"
    ln -sfn "$drives/e-no-medium" "$dd/e:"
    ln -sfn "$drives/n" "$dd/n:"
  else
    # The pick tool keeps Z: (the user browses the machine's folders) and
    # gets D: for the demonstration tree.
    mkdir -p "$build/demo"
    ln -sfn "$build/demo" "$dd/d:"
  fi
  # The user folders (Desktop, Documents, ...) are the prefix's own, not
  # links into the home folder; and Wine does not update the prefix on its
  # own (an update makes those links again): a new Wine makes a new prefix.
  for link in "$prefix"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
      rm "$link"
      mkdir "$link"
    fi
  done
  echo disable > "$prefix/.update-timestamp"

  # Wine looks for its own fonts (Marlett draws the title bar's buttons,
  # Tahoma and MS Sans Serif the dialogs) in a data folder that this
  # Wine's packaging names by a path Wine cannot open; without them a
  # close box shows the letter "r". The prefix's font folder gets a copy.
  fonts=
  for dir in "$(dirname "$(readlink -f "$(command -v wineserver)")")"/../../share/wine/fonts \
             /usr/share/wine/fonts; do
    if [ -f "$dir/marlett.ttf" ]; then
      fonts=$dir
      break
    fi
  done
  if [ -n "$fonts" ]; then
    cp "$fonts"/*.ttf "$fonts"/*.fon "$prefix/drive_c/windows/Fonts/"
  else
    echo "wine-prefix: Wine's fonts (marlett.ttf) were not found; install fonts-wine" >&2
  fi

  echo "$setup" > "$prefix/.varnet-ready"
fi

if [ "$base" = test ]; then
  # The test programs run only where drive D: carries this mark of the
  # build (they create and delete folders on it).
  mkdir -p "$drives/d"
  printf '%s\n' "$build" > "$drives/d/.varnet-test-drive"
  # Wine can neither make nor remove a symbolic link alone; tests that
  # need to run the machine's ln and rm through the prefix's own drive
  # (C:\varnet\ln, C:\varnet\rm).
  mkdir -p "$prefix/drive_c/varnet"
  ln -sfn "$(command -v ln)" "$prefix/drive_c/varnet/ln"
  ln -sfn "$(command -v rm)" "$prefix/drive_c/varnet/rm"
fi
# Fonts for folder names in every script, in the pick tool's prefix.
[ "$base" != ui ] || bash "$root/scripts/wine-fonts.sh" 8>&-
