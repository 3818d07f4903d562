#!/usr/bin/env bash
# Builds both architectures and runs the tests this machine can run:
#   - every test of the x86-64 build, under 64-bit Wine (every machine);
#   - every test of the x86 build, under 32-bit Wine, where the machine runs
#     32-bit programs; where it cannot, the x86 build's checks that need no
#     Wine (its binaries, imports and resources, and its release archive
#     built without running its host), and one line saying what was not run
#     and why. That alone does not fail the run.
# Ends with one line, "tests: N passed, N failed"; exits non-zero when any
# test that ran failed.
#   scripts/test.sh [--build DIR]       (default: build)
# The run has a home folder of its own, empty at the start; when anything
# was written into it, the run fails and says what.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
usage() { echo "usage: test.sh [--build DIR]" >&2; exit 2; }
while [ $# -gt 0 ]; do
  case $1 in
    --build) varnet_option "$1" "${2:-}" || usage; shift 2 ;;
    *) usage ;;
  esac
done
home=$(mktemp -d)
log=$(mktemp)
trap 'rm -rf "$home" "$log"' EXIT
export HOME=$home
bash "$varnet_root/scripts/build.sh" --build "$varnet_build"
varnet_build=$(cd "$varnet_build" && pwd)

passed=0
failed=0
not_run=
# ctest_in TREE [ctest options]: runs ctest there and adds up its counts.
ctest_in() {
  local tree=$1 rc=0 total bad
  shift
  (cd "$tree" && ctest --output-on-failure -j2 --timeout 600 "$@") 2>&1 | tee "$log" || rc=$?
  total=$(sed -n 's/.* tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  bad=$(sed -n 's/.*, \([0-9]*\) tests failed out of .*/\1/p' "$log" | tail -n 1)
  if [ -z "$total" ]; then
    # No summary: ctest itself failed (or found no tests).
    echo "test.sh: ctest in $tree gave no summary (exit $rc)" >&2
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  if [ $rc -ne 0 ] && [ "$bad" -eq 0 ]; then
    failed=$((failed + 1))
  fi
}

# full_run TREE: every test of the tree, under its Wine.
full_run() {
  local tree=$1
  echo "== $(cat "$tree/varnet-arch"): every test, under Wine"
  # The test drives start empty; the prefix is made on first use. So is
  # the pick tool's: made while other tests load the machine, it can take
  # longer than the tool waits for it.
  bash "$varnet_root/scripts/wine-prefix.sh" test "$tree"
  bash "$varnet_root/scripts/wine-prefix.sh" ui "$tree"
  rm -rf "$tree"/drives/a/* "$tree"/drives/d/* "$tree"/drives/n/*
  varnet_wine_env test "$tree"
  # One server for the whole run, with no descriptors of ours: Wine's
  # helper processes would otherwise keep ctest's pipes open.
  env -u DISPLAY wineserver -p </dev/null >/dev/null 2>&1 || true
  # The prefix's services (winedevice) start with the first program of a
  # new server; start them here, detached from our output.
  env -u DISPLAY timeout 60 "$WINELOADER" wineboot.exe </dev/null >/dev/null 2>&1 || true
  # The desktop process (explorer.exe /desktop) starts with the first
  # program that needs a window, and it keeps that program's output open
  # until it ends on its own: ctest then waited a minute and more for a
  # test that had ended. Started here, detached from our output.
  env -u DISPLAY timeout 60 "$WINELOADER" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
  ctest_in "$tree"
  wineserver -k >/dev/null 2>&1 || true
}

full_run "$(varnet_tree win64)"
win32=$(varnet_tree win32)
if varnet_can_run win32; then
  full_run "$win32"
else
  echo "== win32: the checks that need no Wine"
  VARNET_NO_WINE="$varnet_cannot_run" ctest_in "$win32" -L static
  not_run="not run: the x86 (win32) build's tests under Wine, because $varnet_cannot_run; its binaries, imports, resources and release archive were checked without running them"
fi

if [ -n "$(ls -A "$home")" ]; then
  echo "test.sh: the run wrote into the home folder:" >&2
  (cd "$home" && find . -mindepth 1 | sort | sed 's|^\./|  ~/|' >&2)
  failed=$((failed + 1))
fi
echo
[ -z "$not_run" ] || echo "$not_run"
echo "tests: $passed passed, $failed failed"
[ $failed -eq 0 ]
