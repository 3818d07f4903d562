# Sourced by the scripts that show Varnet's dialogs on a private virtual X
# display: the demonstration, the screenshots and the pick tool's test.
#   vd_start <scratch-dir> <build-tree> starts Xvfb (1024x768x24) and
#                                       exports DISPLAY
#   vd_wine [desktop [WxH]]             a fresh Wine server of the ui prefix
#                                       (at VARNET_DPI, see lib.sh) on that
#                                       display; with "desktop", Wine's
#                                       windows open inside one virtual
#                                       desktop window (800x600), as
#                                       they would need a window manager
#                                       otherwise (title bars, and about 2 s
#                                       less for each window)
#   vd_shoot <png> <x> <y> <w> <h>      saves that rectangle of the screen,
#                                       in desktop coordinates
#   vd_frame <driver output>            the last frame the demonstration
#                                       driver reported: "x y w h"
#   vd_stop_wine                        ends the ui prefix's server (at
#                                       VARNET_DPI) when it runs on this
#                                       display
#   vd_stop                             that, and Xvfb
# Every wait is bounded. Needs Xvfb, ImageMagick and xdotool
# (scripts/bootstrap.sh).
vd_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$vd_root/scripts/lib.sh"
vd_xvfb_pid=

vd_start() {
  vd_tmp=$1
  vd_build=$2
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$vd_tmp/display" </dev/null >"$vd_tmp/xvfb.log" 2>&1 &
  vd_xvfb_pid=$!
  local _
  for _ in $(seq 100); do
    [ -s "$vd_tmp/display" ] && break
    kill -0 "$vd_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$vd_tmp/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$vd_tmp/xvfb.log" >&2
    return 1
  fi
  DISPLAY=:$(head -n 1 "$vd_tmp/display")
  export DISPLAY
}

vd_wine() {
  local kind
  kind=$(varnet_kind ui) || return 1
  timeout 120 bash "$vd_root/scripts/wine-prefix.sh" "$kind" "$vd_build"
  varnet_wine_env "$kind" "$vd_build"
  # A running server keeps its desktop on the display where it was opened.
  timeout 20 wineserver -k </dev/null >/dev/null 2>&1 || true
  timeout 20 wineserver -w </dev/null >/dev/null 2>&1 || true
  timeout 20 wineserver -p10 </dev/null >/dev/null 2>&1 || true
  printf '%s\n' "$DISPLAY" > "$vd_build/wine/$kind.display"
  if [ "${1:-}" = desktop ]; then
    "$vd_build/varnet-wine" --ui explorer.exe /desktop=Default,"${2:-800x600}" </dev/null >/dev/null 2>&1 &
    if ! timeout 20 xdotool search --sync --name 'Wine desktop' >/dev/null 2>&1; then
      echo "Wine's virtual desktop did not open" >&2
      return 1
    fi
  fi
}

vd_shoot() {
  local png=$1 x=$2 y=$3 w=$4 h=$5 desktop X=0 Y=0
  # The desktop window's place on the screen (top left without a window
  # manager).
  desktop=$(timeout 5 xdotool search --name 'Wine desktop' 2>/dev/null | head -n 1) || true
  if [ -n "$desktop" ]; then
    eval "$(timeout 5 xdotool getwindowgeometry --shell "$desktop" 2>/dev/null | grep -E '^[XY]=[0-9]+$')" || true
  fi
  x=$((X + x)) y=$((Y + y))
  [ $x -ge 0 ] || x=0
  [ $y -ge 0 ] || y=0
  timeout 15 import -window root "$vd_tmp/screen.png" &&
    /usr/bin/convert "$vd_tmp/screen.png" -crop "${w}x${h}+$x+$y" +repage -strip "$png"
}

vd_frame() {
  sed -n 's/^driver: frame \([0-9-]*\) \([0-9-]*\) \([0-9]*\) \([0-9]*\).*/\1 \2 \3 \4/p' "$1" | tail -n 1
}

vd_stop_wine() {
  local kind
  kind=$(varnet_kind ui) || kind=ui
  if [ -n "${vd_build:-}" ] && [ "$(cat "$vd_build/wine/$kind.display" 2>/dev/null)" = "${DISPLAY:-}" ]; then
    varnet_wine_env "$kind" "$vd_build"
    timeout 10 wineserver -k </dev/null >/dev/null 2>&1 || true
  fi
}

vd_stop() {
  vd_stop_wine
  if [ -n "$vd_xvfb_pid" ]; then
    kill "$vd_xvfb_pid" 2>/dev/null || true
    wait "$vd_xvfb_pid" 2>/dev/null || true
    vd_xvfb_pid=
  fi
}
