#!/usr/bin/env bash
# The reliability test at length on a private server of its own: 8 stations x 1,000 saves on
# every numbered save, 50 links cut at COMMIT, hostile text throughout, the server without
# strict mode. Prints saves, duplicates, partial writes, wrong answers and deadlocks.
#   bench/soak.sh [--stations N] [--saves N] [--cuts N]
#   bench/soak.sh --cluster [--stations N] [--saves N] [--kill-every S] [--pause MS] [--restart-after MS]
# With --cluster: the same on three Galera nodes (scripts/cluster.sh), one killed and started
# again every few seconds, then on one server for comparison; prints certification retries
# and failovers too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
build=${WARASAN_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target soak

tmp=$(mktemp -d)
trap 'bash "$root/scripts/cluster.sh" stop "$tmp/cluster" 2>/dev/null || true; bash "$root/scripts/dbserver.sh" stop "$tmp/db" || true; rm -rf "$tmp"' EXIT
port=$(WARASAN_DB_FLUSH=2 bash scripts/dbserver.sh start "$tmp/db")
for v in $(env | awk -F= '/^WARASAN_/ {print $1}'); do unset "$v"; done
export WARASAN_TEST_PORT=$port WARASAN_TEST_SOCKET="$tmp/db/mysqld.sock" XDG_CONFIG_HOME="$tmp/config"
args=()
cluster=0
for a in "$@"; do
  if [ "$a" = --cluster ]; then cluster=1; else args+=("$a"); fi
done
if [ "$cluster" = 1 ]; then
  chmod 755 "$tmp"
  WARASAN_DB_FLUSH=2 bash scripts/cluster.sh start "$tmp/cluster" 3 >/dev/null
  args=(--cluster "$tmp/cluster" "${args[@]}")
fi
"$build/bench/soak" "${args[@]}"
