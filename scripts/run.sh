#!/usr/bin/env bash
# The main job: builds everything and opens the folder dialog.
#   scripts/run.sh [--build DIR] [--arch win32|win64] [initial path]
# On a display the dialog is shown to you; the chosen folder is printed.
# Without a display it is opened on a private virtual display and driven
# as a user would, and a screenshot is saved.
# Both architectures are built; the dialog runs in the 64-bit one unless
# --arch says otherwise.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
opts=()
while [ $# -gt 0 ]; do
  case $1 in
    --build|--arch)
      varnet_option "$1" "${2:-}" || { echo "usage: run.sh [--build DIR] [--arch win32|win64] [initial path]" >&2; exit 2; }
      opts+=("$1" "$2"); shift 2 ;;
    *) break ;;
  esac
done
bash "$varnet_root/scripts/build.sh" --build "$varnet_build"
if [ -n "${DISPLAY:-}" ]; then
  exec bash "$varnet_root/scripts/varnet-pick" "${opts[@]}" "$@"
fi
exec bash "$varnet_root/scripts/demo.sh" "${opts[@]}"
