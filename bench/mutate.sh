#!/usr/bin/env bash
# The planted-fault run: plants each slip of bench/mutants.tsv in turn, rebuilds only what it
# touches, runs the suites that could see it and prints caught or survived per slip and the
# score per folder. A developer's tool, not part of the test command.
#
#   bash bench/mutate.sh                 # every slip (about half an hour on 2 cores)
#   bash bench/mutate.sh --only 'web|reports'
#
# Leave the tree's own changes committed or stashed first: each slip is written into the source
# and the file put back afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
WARASAN_TEST_PACKAGES="chromium galera-4 rsync" bash scripts/setup.sh
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
build=${WARASAN_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DWARASAN_TESTS=ON >/dev/null
cmake --build "$build"

tmp=$(mktemp -d)
cleanup() {
  bash "$root/scripts/dbserver.sh" stop "$tmp/db" || true
  rm -rf "$tmp"
}
trap cleanup EXIT
port=$(WARASAN_DB_FLUSH=2 bash scripts/dbserver.sh start "$tmp/db")
for v in $(env | awk -F= '/^WARASAN_/ && !/^WARASAN_EXPLORE_/ {print $1}'); do unset "$v"; done
export XDG_CONFIG_HOME="$tmp/config" WARASAN_TEST_PORT="$port" WARASAN_TEST_SOCKET="$tmp/db/mysqld.sock"
export QT_QPA_PLATFORM=offscreen
python3 bench/mutate.py --build "$build" --log "$build/mutate.log" "$@"
