#!/usr/bin/env bash
# Runs Warasan: installs what is missing, builds, and, when no library server is configured,
# starts (or reuses) a private MariaDB server for this user with a demo database.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
build=${WARASAN_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target warasan warasan-web warasan-datagen

configured_server() {
  [ -n "${WARASAN_SERVER:-}" ] && return 0
  local f
  for f in "${XDG_CONFIG_HOME:-$HOME/.config}/warasan/warasan.ini" /etc/xdg/warasan/warasan.ini; do
    [ -f "$f" ] || continue
    awk '/^\[/{s=($0=="[database]")} s && /^[ \t]*server[ \t]*=[ \t]*[^ \t]/{found=1} END{exit !found}' "$f" && return 0
  done
  return 1
}

if configured_server; then
  echo "run: using the configured library server"
else
  data="${XDG_DATA_HOME:-$HOME/.local/share}/warasan/mariadb"
  port=$(bash scripts/dbserver.sh start "$data")
  # A demo load that did not finish is thrown away and made again.
  if [ ! -f "$data/demo-loaded" ]; then
    bash scripts/dbserver.sh sql "$data" -e "DROP DATABASE IF EXISTS magazine"
  fi
  if [ "$(bash scripts/provision.sh "$data" magazine)" = "created" ]; then
    echo "run: loading the demo data"
    WARASAN_SERVER=127.0.0.1 WARASAN_PORT=$port "$build/tools/datagen/warasan-datagen" --preset demo --quiet
    touch "$data/demo-loaded"
  fi
  echo "run: private server 127.0.0.1:$port, data in $data"
  echo "     (stop it with: bash scripts/dbserver.sh stop \"$data\")"
  export WARASAN_SERVER=127.0.0.1 WARASAN_PORT=$port

  # The report pages the menu opens, served beside the demo database (restarted each time,
  # so it is always this build's).
  web="$(dirname "$data")/web"
  mkdir -p "$web"
  if [ -f "$web/pid" ] && kill "$(cat "$web/pid")" 2>/dev/null; then
    while kill -0 "$(cat "$web/pid")" 2>/dev/null; do sleep 0.1; done
  fi
  setsid "$build/src/warasan-web" --port 0 </dev/null >"$web/log" 2>&1 &
  echo $! >"$web/pid"
  for _ in $(seq 100); do
    webport=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$web/log")
    [ -n "$webport" ] && break
    sleep 0.1
  done
  [ -n "${webport:-}" ] || { echo "run: the report server did not start:" >&2; cat "$web/log" >&2; exit 1; }
  export WARASAN_REPORT_ROOT="http://127.0.0.1:$webport/"
  echo "run: report pages at $WARASAN_REPORT_ROOT (log: $web/log)"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run: everything is ready, but there is no display to show the program on." >&2
  echo "     Run this command again from a desktop session (DISPLAY or WAYLAND_DISPLAY set)." >&2
  exit 1
fi
exec "$build/src/warasan" "$@"
