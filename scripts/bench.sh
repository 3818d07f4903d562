#!/usr/bin/env bash
# Builds the benchmarks and runs them all on a synthetic tree of 50,422
# folders made natively on the test drive D: (a flat folder of 10,000 and a
# tree of 20 x 20 x 100) and removed however the script ends:
#   select_bench  selecting the node of the flat folder, beside its bare listing;
#   scan_bench    Expand Recursive on the whole tree: the worker's scan beside
#                 a bare Win32 walk and find -type d, the removal, rebuild and
#                 expansion of the nodes, the whole command, and relisting
#                 nodes of the expanded tree beside their bare listings.
# and on a tree of 50,123 folders on D:\nav-bench (100 and 10,000 empty
# siblings, and a path 20 levels deep with 2,000 siblings beside each level):
#   nav_bench     the Down key among 100 siblings and among 10,000, Down held
#                 through 1,000 of the 10,000, and opening on the deep path
#                 beside the bare listings of the folders on it.
# Ends with one table: each figure, its reference measured in the same run,
# their ratio, and the bound the figure is held to.
#   scripts/bench.sh [--build DIR] [--arch win32|win64]
#                                     (default: build, its 64-bit build)
set -euo pipefail
. "$(dirname "$0")/lib.sh"
varnet_options "bench.sh [--build DIR] [--arch win32|win64]" "$@"
arch=$(varnet_run_arch bench) || exit 2
bash "$varnet_root/scripts/build.sh" --build "$varnet_build" --arch "$arch"
build=$(cd "$(varnet_tree "$arch")" && pwd)
ninja -C "$build" --quiet benchmarks
echo "Benchmarks of the $arch build on $(uname -m), $(nproc) cores, $("$(varnet_loader "$arch")" --version)"

name=scan-bench
tree=$build/drives/d/$name
figures=$(mktemp)
nav=$build/drives/d/nav-bench
trap 'rm -rf "$tree" "$nav" "$figures"' EXIT
trap 'exit 130' INT TERM HUP
rm -rf "$tree"
mkdir -p "$tree/flat" "$tree/tree"
(cd "$tree/flat" && seq -f 'folder%05g' 0 9999 | xargs mkdir)
(cd "$tree/tree" && mkdir -p d{00..19}/e{00..19}/f{000..99})
rm -rf "$nav"
mkdir -p "$nav/small" "$nav/big" "$nav/deep"
(cd "$nav/small" && seq -f 'f%03g' 0 99 | xargs mkdir)
(cd "$nav/big" && seq -f 'f%05g' 0 9999 | xargs mkdir)
level=$nav/deep
for i in $(seq -f '%02g' 1 20); do
  (cd "$level" && seq -f 's%04g' 0 1999 | xargs mkdir)
  level=$level/l$i
  mkdir "$level"
done
# The new folders reach the disk before anything is timed: their writeback
# would otherwise run beside the first measurements.
sync

# find -type d, natively: the best of three runs, in seconds.
best=
for _ in 1 2 3; do
  start=$(date +%s%N)
  count=$(find "$tree" -mindepth 1 -type d | wc -l)
  t=$(( $(date +%s%N) - start ))
  if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
done
find_s=$(awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e9 }')
echo "find -type d: $count folders in $find_s s (best of 3)"

# Each program's own report is shown; its figures are kept for the table.
status=0
run() {
  "$build/varnet-wine" "$@" | tee -a "$figures" | grep -v '^figure|' || status=1
}
run "$build/bin/select_bench.exe" "D:\\$name\\flat"
run "$build/bin/nav_bench.exe" "D:\\nav-bench"
run "$build/bin/scan_bench.exe" "D:\\$name" "$find_s" 'tree\d05'

echo
echo "Benchmarks (figures and references of this run):"
grep '^figure|' "$figures" | awk -F'|' '
  BEGIN {
    printf "| %-62s | %9s | %-21s | %9s | %7s | %s\n", "Figure", "Time", "Reference", "Time", "Ratio", "Bound"
  }
  {
    printf "| %-62s | %7.3f s | %-21s | %7.3f s | %7.2f | %s\n", $2, $3, $4, $5, ($5 > 0 ? $3 / $5 : 0), $6
  }'
exit $status
