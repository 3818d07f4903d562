#!/usr/bin/env bash
# The main job: builds everything and opens the folder dialog.
#   scripts/run.sh [initial path]
# On a display the dialog is shown to you; the chosen folder is printed.
# Without a display it is opened on a private virtual display and driven
# as a user would, and a screenshot is saved.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARNET_BUILD:-$root/build}
bash "$root/scripts/build.sh" "$build"
if [ -n "${DISPLAY:-}" ]; then
  exec bash "$root/scripts/varnet-pick" --build "$build" "$@"
fi
exec bash "$root/scripts/demo.sh" --build "$build"
