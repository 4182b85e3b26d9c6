#!/usr/bin/env bash
# Walks every window (or one) with the explorer for as many steps as asked, on a private server
# with the demo data, and prints per window the steps taken, the modes visited and each
# violation with its seed and its shortest step list.
#
#   bash bench/explore.sh [STEPS_PER_WINDOW] [WINDOW]      (default 20000, every window)
#
# WARASAN_EXPLORE_WALK sets the steps of one walk (default 500): each walk starts afresh from the
# demo data with the next seed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
steps=${1:-20000}
window=${2:-}

bash scripts/setup.sh
build=${WARASAN_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DWARASAN_TESTS=ON >/dev/null
cmake --build "$build" --target tst_explorer

tmp=$(mktemp -d)
cleanup() {
  bash "$root/scripts/dbserver.sh" stop "$tmp/db" || true
  rm -rf "$tmp"
}
trap cleanup EXIT
port=$(WARASAN_DB_FLUSH=2 bash scripts/dbserver.sh start "$tmp/db")
for v in $(env | awk -F= '/^WARASAN_/ && $1 != "WARASAN_EXPLORE_WALK" {print $1}'); do unset "$v"; done
export XDG_CONFIG_HOME="$tmp/config" WARASAN_TEST_PORT="$port" WARASAN_TEST_SOCKET="$tmp/db/mysqld.sock"
export QT_QPA_PLATFORM=offscreen WARASAN_EXPLORE_STEPS="$steps" WARASAN_EXPLORE_WALK="${WARASAN_EXPLORE_WALK:-500}"
export QTEST_FUNCTION_TIMEOUT=86400000 # a window's 20,000 steps take minutes, past the test library's five
[ -n "$window" ] && export WARASAN_EXPLORE_WINDOW="$window"

start=$(date +%s)
status=0
"$build/tests/tst_explorer" walk -maxwarnings 0 2>&1 | sed 's/^QINFO  : tst_explorer::walk([^)]*) //' |
  grep -v '^PASS\|^Config:\|^\*\*\*\*\*\|^   Loc:' || status=$?
echo "explore: $(( $(date +%s) - start )) s"
exit $status
