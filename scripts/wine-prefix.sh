#!/usr/bin/env bash
# Creates (once) and starts a private Wine prefix for Varnet.
#   wine-prefix.sh test <build-dir>   tests: null display driver, test drives
#   wine-prefix.sh ui   <build-dir>   the pick tool: X11 driver, virtual desktop
# Prints nothing on success. The prefix lives inside the build tree and never
# touches the user's own prefix or home folder.
set -euo pipefail
kind=$1
build=$(cd "$2" && pwd)
prefix=$build/wine/$kind
drives=$build/drives
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

mkdir -p "$build/wine"
exec 8>"$build/wine/$kind.lock"
flock 8

if [ ! -f "$prefix/.varnet-ready" ]; then
  rm -rf "$prefix"
  # Start the server ourselves with no inherited descriptors: Wine's helper
  # processes otherwise keep the caller's pipes open.
  env -u DISPLAY wineserver -p5 </dev/null >/dev/null 2>&1 8>&- || true
  env -u DISPLAY wineboot -i </dev/null >/dev/null 2>&1 8>&-
  env -u DISPLAY wineserver -w 8>&-

  reg=$build/wine/$kind.reg
  {
    echo 'REGEDIT4'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
    echo '"ShowCrashDialog"=dword:00000000'
    echo
    if [ "$kind" = test ]; then
      echo '[HKEY_CURRENT_USER\Software\Wine\Drivers]'
      echo '"Graphics"="null"'
    else
      echo '[HKEY_CURRENT_USER\Software\Wine\Explorer]'
      echo '"Desktop"="Default"'
      echo
      echo '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]'
      echo '"Default"="800x600"'
    fi
    echo
    echo '[HKEY_LOCAL_MACHINE\Software\Wine\Drives]'
    if [ "$kind" = test ]; then
      echo '"a:"="floppy"'
      echo '"d:"="hd"'
      echo '"e:"="cdrom"'
      echo '"n:"="network"'
    else
      echo '"d:"="hd"'
    fi
  } > "$reg"
  env -u DISPLAY wine regedit /S "$reg" </dev/null >/dev/null 2>&1 8>&-
  env -u DISPLAY wineserver -w 8>&-

  dd=$prefix/dosdevices
  if [ "$kind" = test ]; then
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
  touch "$prefix/.varnet-ready"
fi

if [ "$kind" = test ]; then
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
