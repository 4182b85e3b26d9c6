#!/usr/bin/env bash
# The reliability test at length on a private server of its own: 8 stations x 1,000 saves on
# every numbered save, 50 links cut at COMMIT, hostile text throughout, the server without
# strict mode. Prints saves, duplicates, partial writes, wrong answers and deadlocks.
#   bench/soak.sh [--stations N] [--saves N] [--cuts N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
build=${WARASAN_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target soak

tmp=$(mktemp -d)
trap 'bash "$root/scripts/dbserver.sh" stop "$tmp/db" || true; rm -rf "$tmp"' EXIT
port=$(WARASAN_DB_FLUSH=2 bash scripts/dbserver.sh start "$tmp/db")
for v in $(env | awk -F= '/^WARASAN_/ {print $1}'); do unset "$v"; done
export WARASAN_TEST_PORT=$port WARASAN_TEST_SOCKET="$tmp/db/mysqld.sock" XDG_CONFIG_HOME="$tmp/config"
"$build/bench/soak" "$@"
