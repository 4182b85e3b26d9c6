#!/usr/bin/env bash
# Walks every window (or one) with the explorer for as many steps as asked, on the tests' own
# private server with the demo data, and prints per window the steps taken, the modes visited
# and each violation with its seed and its shortest step list.
#
#   bash bench/explore.sh [STEPS_PER_WINDOW] [WINDOW]      (default 20000, every window)
#
# WARASAN_EXPLORE_WALK sets the steps of one walk (default 500): each walk starts afresh from the
# demo data with the next seed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WARASAN_EXPLORE_STEPS=${1:-20000} WARASAN_EXPLORE_WALK=${WARASAN_EXPLORE_WALK:-500}
[ -n "${2:-}" ] && export WARASAN_EXPLORE_WINDOW=$2
export QTEST_FUNCTION_TIMEOUT=86400000 # a window's 20,000 steps take minutes, past the test library's five

# The test's own time limit suits the CI's short walks: lifted for this run, put back after.
build=${WARASAN_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DWARASAN_TESTS=ON -DWARASAN_EXPLORER_TIMEOUT=86400 >/dev/null
trap 'cmake -S "$root" -B "$build" -DWARASAN_EXPLORER_TIMEOUT=1500 >/dev/null' EXIT

start=$(date +%s)
status=0
WARASAN_SANITIZE=0 bash "$root/scripts/test.sh" -R tst_explorer --timeout 86400 -V 2>&1 |
  sed -n 's/^[0-9]*: QINFO  : tst_explorer::walk([^)]*) //p; s/^[0-9]*: \(  [0-9]*\. .*\)/\1/p; /tests passed/p' ||
  status=$?
echo "explore: $(( $(date +%s) - start )) s"
exit $status
