#!/usr/bin/env bash
# Benchmarks on a private server of their own: loads the large generated set (20,000 titles,
# 1,000,000 issues), then measures the data layer's round trips and each window benchmark.
#   bench/run.sh [--preset demo|large]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
preset=large
[ "${1:-}" = "--preset" ] && preset=${2:-large}

bash scripts/setup.sh
build=${WARASAN_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build"

tmp=$(mktemp -d)
trap 'bash "$root/scripts/dbserver.sh" stop "$tmp/db" || true; rm -rf "$tmp"' EXIT
port=$(WARASAN_DB_FLUSH=2 WARASAN_DB_BUFFER_POOL=2G bash scripts/dbserver.sh start "$tmp/db")
bash scripts/provision.sh "$tmp/db" magazine >/dev/null
for v in $(env | awk -F= '/^WARASAN_/ {print $1}'); do unset "$v"; done
export WARASAN_SERVER=127.0.0.1 WARASAN_PORT=$port XDG_CONFIG_HOME="$tmp/config" QT_QPA_PLATFORM=offscreen

echo "== data generator ($preset)"
"$build/bench/warasan-datagen" --preset "$preset"
echo "== data layer"
"$build/bench/bench_data"
for b in "$build"/bench/bench_window_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
done
