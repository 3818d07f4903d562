#!/usr/bin/env bash
# The pick tool's contract, end to end: scripts/varnet-pick opens the dialog
# as a window of its own on a virtual X display (no Wine desktop around it),
# the demonstration driver works it, and the tool answers with its output
# and exit code; VarnetPick.exe checks its own arguments.
#   pick_test.sh <source-dir> <build-dir>
set -uo pipefail
src=$1
build=$(cd "$2" && pwd)
. "$src/scripts/virtual-display.sh"
# A UTF-8 locale, as on a desktop: the folder's name is Linux text.
export LC_ALL=C.UTF-8
tmp=$(mktemp -d)
# First on D: (the ui prefix's drive, <build>/demo), names in Japanese and
# with an emoji outside the Basic Multilingual Plane and a space.
folder="$build/demo/日本"
cleanup() {
  vd_stop
  rm -rf "$tmp" "$folder"
}
trap cleanup EXIT
mkdir -p "$folder/📁 photos"
vd_start "$tmp" "$build" || exit 1

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
# expect <case> <exit code> <standard output>: compares the last run's.
expect() {
  local rc=$(cat "$tmp/rc") out
  out=$(cat "$tmp/out"; echo .)
  out=${out%.}
  [ "$rc" = "$2" ] || fail "$1: exit code $rc, expected $2"
  [ "$out" = "$3" ] || fail "$1: printed \"$out\", expected \"$3\""
  if [ "$2" = 2 ]; then
    [ -s "$tmp/err" ] || fail "$1: no reason on standard error"
  fi
  echo "$1: exit code $rc"
  sed "s/^/  $1: /" "$tmp/err"
}
driver() {
  timeout 60 "$build/varnet-wine" --ui "$build/bin/VarnetDemoDriver.exe" "$@" </dev/null >>"$tmp/driver" 2>&1 ||
    { fail "the driver failed at: $*"; cat "$tmp/driver"; }
}
# pick <driver command>...: varnet-pick on the folder, worked by the driver.
pick() {
  (timeout 120 bash "$src/scripts/varnet-pick" --build "$build" "$folder" >"$tmp/out" 2>"$tmp/err"
   echo $? >"$tmp/rc") &
  local pid=$!
  # The dialog is a top-level window of the display, not inside a Wine
  # desktop window.
  if ! timeout 60 xdotool search --sync --name '^Varnet$' >/dev/null 2>&1; then
    fail "no Varnet window appeared"
  elif [ -n "$(xdotool search --name 'Wine desktop' 2>/dev/null)" ]; then
    fail "the dialog opened inside a Wine desktop window"
  fi
  varnet_wine_env ui "$build"
  while [ $# -gt 0 ]; do
    if [ "$1" = navigate ]; then
      driver navigate "$2"
      shift 2
    else
      driver "$1"
      shift
    fi
  done
  wait $pid
}

pick navigate 'D:\日本\📁 photos' ok
expect "OK" 0 "$folder/📁 photos"$'\n'
pick cancel
expect "Cancel" 1 ""

# Wrong arguments: a reason and exit code 2, before any dialog.
run() {
  "$@" </dev/null >"$tmp/out" 2>"$tmp/err"
  echo $? >"$tmp/rc"
}
run bash "$src/scripts/varnet-pick" --build "$build" one two
expect "two folders" 2 ""
run bash "$src/scripts/varnet-pick" --build "$build" --bogus
expect "unknown option" 2 ""
run env -u DISPLAY bash "$src/scripts/varnet-pick" --build "$build"
expect "no display" 2 ""
run "$build/varnet-wine" "$build/bin/VarnetPick.exe" one two
expect "VarnetPick.exe with two paths" 2 ""

[ $failures -eq 0 ] || exit 1
echo "the pick tool keeps its contract"
