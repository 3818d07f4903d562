#!/usr/bin/env bash
# Makes the README's pictures from real runs of VarnetPick.exe on a private
# virtual X display, each dialog worked by the demonstration driver as a
# user would:
#   folder-dialog.png     the folder dialog on D:\data\2002
#   progress-dialog.png   Expand Recursive on D:\projects while its scan runs
#   request-dialog.png    Delete on D:\old-reports, asking about its
#                         read-only file
#   request-dialog-wm.png the request under a window manager (openbox), each
#                         window a window of the display: the request is
#                         centred over the folder dialog, which goes on
#                         painting beneath it
#   unicode-names.png     folders named in several scripts, an emoji among
#                         them, in the UTF-8 code page VarnetPick declares
#   folder-dialog-144dpi.png, folder-dialog-192dpi.png
#                         the folder dialog with the display at 150 % and
#                         200 %, on a 1024x768 desktop: images at the scale
#                         of the text; at 200 % the dialog fits itself to
#                         the screen's height
#   scripts/screenshots.sh [--build DIR] [--arch win32|win64] [--out DIR]
#                        (default: <repo>/build, its 64-bit build; <repo>/docs)
# The demonstration tree (drive D: of the pick prefix, <build>/demo) is made
# afresh; the large tree for the scan is removed afterwards.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
out=$varnet_root/docs
usage() { echo "usage: screenshots.sh [--build DIR] [--arch win32|win64] [--out DIR]" >&2; exit 2; }
while [ $# -gt 0 ]; do
  case $1 in
    --build|--arch) varnet_option "$1" "${2:-}" || usage; shift 2 ;;
    --out) [ $# -ge 2 ] || usage; out=$2; shift 2 ;;
    *) usage ;;
  esac
done
arch=$(varnet_run_arch screenshots) || exit 2
build=$(cd "$(varnet_tree "$arch")" && pwd)
wine=$build/varnet-wine
mkdir -p "$out"
out=$(cd "$out" && pwd)
pick=$build/bin/VarnetPick.exe
driver=$build/bin/VarnetDemoDriver.exe
for f in "$pick" "$driver"; do
  [ -f "$f" ] || { echo "screenshots: $f is missing (run scripts/build.sh)" >&2; exit 2; }
done
. "$varnet_root/scripts/virtual-display.sh"

tmp=$(mktemp -d)
pick_pid=
demo=$build/demo
cleanup() {
  set +e
  [ -n "$pick_pid" ] && kill "$pick_pid" 2>/dev/null
  vd_stop
  rm -rf "$tmp" "$demo/projects"
  [ -d "$demo/old-reports" ] && chmod -R u+w "$demo/old-reports"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

fail() {
  echo "screenshots: $*" >&2
  [ -s "$tmp/pick.err" ] && { echo "VarnetPick said:" >&2; sed 's/^/   /' "$tmp/pick.err" >&2; }
  exit 1
}

# The tree: a few folders to browse, one with a read-only file, and one
# large enough (24,000 folders, about 100 MB while it exists) that the scan
# runs for seconds under Wine.
rm -rf "$demo"
mkdir -p "$demo/data/2001" "$demo/data/2002" "$demo/data/2003" "$demo/docs" "$demo/music" \
         "$demo/old-reports/2019" "$demo/projects"
echo "figures" > "$demo/old-reports/summary.txt"
chmod a-w "$demo/old-reports/summary.txt"
(cd "$demo/projects" && mkdir -p p{00..19}/q{00..19}/r{00..59})
mkdir -p "$demo/unicode/café" "$demo/unicode/Ελληνικά/βαθύ" "$demo/unicode/Кириллица" "$demo/unicode/العربية" \
         "$demo/unicode/📁 photos" "$demo/unicode/中文文件夹" "$demo/unicode/日本/大阪" "$demo/unicode/日本/東京"

vd_start "$tmp" "$build" || exit 2
vd_wine desktop || exit 2

# driver <command> [argument]: one step of the driver; the frame it reports
# is left in fx fy fw fh.
driver() {
  local rc=0
  timeout 90 "$wine" --ui "$driver" "$@" </dev/null >"$tmp/driver.out" 2>&1 || rc=$?
  sed 's/^/   /' "$tmp/driver.out"
  [ $rc -eq 0 ] || fail "the driver failed at: $* (code $rc)"
  read -r fx fy fw fh < <(vd_frame "$tmp/driver.out") || true
}
shoot() {
  vd_shoot "$out/$1" "$fx" "$fy" "$fw" "$fh" || fail "no screenshot $1"
  echo "== $out/$1"
}
# run <initial path>: VarnetPick.exe in the background, ended by Cancel.
start() {
  echo "== VarnetPick.exe $1"
  timeout 120 "$wine" --ui "$pick" "$1" </dev/null >"$tmp/pick.out" 2>"$tmp/pick.err" &
  pick_pid=$!
}
finish() {
  driver cancel
  local rc=0
  wait "$pick_pid" || rc=$?
  pick_pid=
  [ $rc -eq 1 ] || fail "VarnetPick.exe ended with $rc, expected 1 (Cancel)"
}

start 'D:\data'
driver navigate 'D:\data\2002'
shoot folder-dialog.png
finish

start 'D:\'
driver navigate 'D:\projects'
driver expand
shoot progress-dialog.png
driver kill
finish

start 'D:\'
driver navigate 'D:\old-reports'
driver delete
shoot request-dialog.png
driver abort
finish

start 'D:\unicode\Ελληνικά\βαθύ'
driver navigate 'D:\unicode\📁 photos'
shoot unicode-names.png
finish

# At 144 and 192 dots per inch, each in the pick prefix's copy at that
# scale, inside a virtual desktop as large as the screen.
vd_stop_wine
for dpi in 144 192; do
  export VARNET_DPI=$dpi
  vd_wine desktop 1024x768 || exit 2
  start 'D:\data'
  driver navigate 'D:\data\2002'
  shoot folder-dialog-${dpi}dpi.png
  finish
  vd_stop_wine
done
unset VARNET_DPI

# Under a window manager: Wine's windows are the display's own, no virtual
# desktop around them.
vd_wine || exit 2
openbox </dev/null >"$tmp/openbox.log" 2>&1 &
wm_pid=$!
sleep 1
kill -0 "$wm_pid" 2>/dev/null || fail "openbox did not start: $(cat "$tmp/openbox.log")"
start 'D:\'
driver navigate 'D:\old-reports'
frame=("$fx" "$fy" "$fw" "$fh")
driver delete
# The request's place as the window manager left it: centred over the
# folder dialog, to a pixel of rounding.
read -r dx dy < <(sed -n 's/.*off centre by \([0-9-]*\) \([0-9-]*\).*/\1 \2/p' "$tmp/driver.out")
[ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ] ||
  fail "under openbox the request dialog is off centre by ${dx:-?} ${dy:-?}"
fx=${frame[0]} fy=${frame[1]} fw=${frame[2]} fh=${frame[3]}
shoot request-dialog-wm.png
driver abort
finish
kill "$wm_pid" 2>/dev/null || true
