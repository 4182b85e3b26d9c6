#!/usr/bin/env bash
# Benchmarks on a private server of their own: loads the large generated set (20,000 titles,
# 1,000,000 issues), then measures the data layer's round trips and each window benchmark.
#   bench/run.sh [--preset demo|messy|large|huge] [--only NAME]
# (huge: ten times the titles and issues of large; about 10 minutes to load)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
preset=large
only=
while [ $# -gt 0 ]; do
  case "$1" in
    --preset) preset=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;  # run only the benchmarks whose name contains this
    *) echo "usage: $0 [--preset demo|messy|large|huge] [--only NAME]" >&2; exit 2 ;;
  esac
done

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
"$build/tools/datagen/warasan-datagen" --preset "$preset"
if [ -z "$only" ]; then
  echo "== data layer"
  "$build/bench/bench_data"
fi
for b in "$build"/bench/bench_window_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  case "$(basename "$b")" in *"$only"*) ;; *) continue ;; esac
  echo "== $(basename "$b")"
  "$b"
done
# The survey as a scheduled job writes it: the latest year and month of receipts to CSV, with
# the command's time and its peak memory.
if [ -z "$only" ] || [[ report == *"$only"* ]]; then
  echo "== warasan-report survey --group J, to CSV"
  latest=$(mariadb -S "$tmp/db/mysqld.sock" -uroot -N magazine -e "SELECT MAX(indate) FROM tranfile")
  year=${latest:0:4} month=${latest:5:2}
  last=$(date -d "$year-$month-01 +1 month -1 day" +%d)
  for period in "01/01/$year 31/12/$year year" "01/$month/$year $last/$month/$year month"; do
    set -- $period
    /usr/bin/time -f "$3 ($1 to $2): %e s, peak memory %M KB" "$build/src/warasan-report" survey --group J \
      --from "$1" --to "$2" --csv "$tmp/survey.csv" >/dev/null
    echo "  $(($(wc -l <"$tmp/survey.csv") - 1)) rows"
  done
fi
if [ -z "$only" ] || [[ search == *"$only"* ]]; then
  echo "== bench_search"
  "$build/bench/bench_search"
fi
if [ -z "$only" ] || [[ prediction == *"$only"* ]]; then
  echo "== bench_prediction"
  "$build/bench/bench_prediction" $([ "$preset" = messy ] && echo --messy)
fi
# Last, as it rebuilds every table: the large set made legacy, checked, backed up and migrated.
if [ -z "$only" ] || [[ web == *"$only"* ]]; then
  echo "== bench_web"
  "$build/bench/bench_web"
fi
if [ -z "$only" ] || [[ migration == *"$only"* ]]; then
  echo "== bench_migration"
  WARASAN_ADMIN_SOCKET="$tmp/db/mysqld.sock" "$build/bench/bench_migration"
fi
