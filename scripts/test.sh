#!/usr/bin/env bash
# Runs every test: installs what is missing, builds, starts a private MariaDB server on a
# free loopback port in a temporary folder, runs CTest offscreen, stops that server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
build=${WARASAN_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DWARASAN_TESTS=ON >/dev/null
cmake --build "$build"

tmp=$(mktemp -d)
cleanup() {
  bash "$root/scripts/dbserver.sh" stop "$tmp/db" || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# The tests' data is thrown away afterwards: no need to flush every commit to disk.
port=$(WARASAN_DB_FLUSH=2 bash scripts/dbserver.sh start "$tmp/db")
echo "test server: 127.0.0.1:$port (pid $(cat "$tmp/db/mysqld.pid"))"

# Nothing of the user's own installation reaches the tests.
for v in $(env | awk -F= '/^WARASAN_/ {print $1}'); do unset "$v"; done
export XDG_CONFIG_HOME="$tmp/config"
export WARASAN_TEST_PORT="$port"
export WARASAN_TEST_SOCKET="$tmp/db/mysqld.sock"
export QT_QPA_PLATFORM=offscreen

ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
