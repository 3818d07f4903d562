#!/usr/bin/env bash
# Shows the folder dialog on a machine without a display: opens it on a
# private virtual X display, works it from the keyboard as a user would,
# saves a screenshot and prints what the host read back.
#   scripts/demo.sh [--build DIR] [--arch win32|win64]
#                                        (default: <repo>/build, built; the
#                                        64-bit build)
# The dialog starts on D:\data of a fresh demonstration tree (drive D: of
# the pick prefix is <build>/demo); the driver moves down to D:\data\2002
# and presses Enter. Exit code 0 only when the host read back D:\data\2002.
# Every step has a time limit; the whole run stays under two minutes.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
varnet_options "demo.sh [--build DIR] [--arch win32|win64]" "$@"
arch=$(varnet_run_arch demo) || exit 2
build=$(cd "$(varnet_tree "$arch")" && pwd)
wine=$build/varnet-wine
pick=$build/bin/VarnetPick.exe
driver=$build/bin/VarnetDemoDriver.exe
expected='D:\data\2002'
shot=$build/varnet-screenshot.png
for f in "$pick" "$driver"; do
  [ -f "$f" ] || { echo "demo: $f is missing (run scripts/build.sh)" >&2; exit 2; }
done
for c in Xvfb import /usr/bin/convert xdotool wineserver; do
  command -v "$c" >/dev/null || { echo "demo: $c is not installed (run scripts/bootstrap.sh)" >&2; exit 2; }
done
. "$varnet_root/scripts/virtual-display.sh"

# Time limits: each step gets at most what is left of the run.
deadline=$((SECONDS + 110))
limit() {
  local n=$((deadline - SECONDS))
  [ "$n" -gt "$1" ] && n=$1
  [ "$n" -ge 1 ] || { echo "demo: out of time" >&2; exit 2; }
  echo "$n"
}

tmp=$(mktemp -d)
pick_pid=
cleanup() {
  set +e
  if [ -n "$pick_pid" ] && kill -0 "$pick_pid" 2>/dev/null; then
    kill "$pick_pid" 2>/dev/null
  fi
  vd_stop
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

step() { echo "== $*"; }
show() { sed 's/^/   /' "$1"; }

step "demonstration tree $build/demo"
rm -rf "$build/demo"
mkdir -p "$build/demo/data/2001" "$build/demo/data/2002" "$build/demo/data/2003" \
         "$build/demo/docs" "$build/demo/music"

vd_start "$tmp" "$build" || exit 2
step "virtual display $DISPLAY (1024x768x24)"
step "Wine prefix $build/wine/ui, its virtual desktop"
vd_wine desktop || exit 2

step "VarnetPick.exe D:\\data"
timeout "$(limit 60)" "$wine" --ui "$pick" 'D:\data' </dev/null >"$tmp/pick.out" 2>"$tmp/pick.err" &
pick_pid=$!

fail() {
  echo "demo: $*" >&2
  [ -s "$tmp/pick.err" ] && { echo "VarnetPick said:" >&2; show "$tmp/pick.err" >&2; }
  exit 1
}

step "driver: navigate"
rc=0
timeout "$(limit 40)" "$wine" --ui "$driver" navigate "$expected" </dev/null >"$tmp/navigate.out" 2>&1 || rc=$?
show "$tmp/navigate.out"
[ $rc -eq 0 ] || fail "the driver could not navigate (code $rc)"

step "screenshot"
read -r fx fy fw fh < <(vd_frame "$tmp/navigate.out") || true
[ -n "${fw:-}" ] || fail "the driver gave no frame for the screenshot"
vd_shoot "$shot" "$fx" "$fy" "$fw" "$fh" || fail "no screenshot"

step "driver: ok"
rc=0
timeout "$(limit 30)" "$wine" --ui "$driver" ok </dev/null >"$tmp/ok.out" 2>&1 || rc=$?
show "$tmp/ok.out"
[ $rc -eq 0 ] || fail "the driver could not confirm the dialog (code $rc)"

for _ in $(seq $(($(limit 15) * 10))); do
  kill -0 "$pick_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pick_pid" 2>/dev/null && fail "VarnetPick.exe did not exit"
rc=0
wait "$pick_pid" || rc=$?
pick_pid=

# One line, written in text mode: CR LF.
chosen=$(head -n 1 "$tmp/pick.out" | tr -d '\r')
echo
echo "VarnetPick.exe exit code: $rc"
echo "The host read back: $chosen"
echo "Screenshot: $shot"
[ -s "$tmp/pick.err" ] && { echo "VarnetPick said:"; show "$tmp/pick.err"; }
if [ $rc -ne 0 ] || [ "$chosen" != "$expected" ]; then
  fail "expected $expected with exit code 0"
fi
