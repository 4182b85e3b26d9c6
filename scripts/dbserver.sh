#!/usr/bin/env bash
# A private MariaDB server for one user: the demo's, the tests' or a benchmark's.
#
#   dbserver.sh start DATADIR [PORT]   initialise DATADIR if new, start the server on 127.0.0.1
#                                      (PORT, or the one chosen when DATADIR was made, or a
#                                      free one) and print the port
#   dbserver.sh stop DATADIR           stop the server started there, by its PID
#   dbserver.sh port DATADIR           print the port of DATADIR's server
#   dbserver.sh sql DATADIR [ARGS...]  run the mariadb client as the administrator (socket)
#
# WARASAN_DB_LCTN sets lower_case_table_names for a new DATADIR (default 1; 0 keeps table
# names as written, as some older library servers do).
# The administrator is root@localhost, identified by the operating-system account that made
# the folder (unix socket); the server listens on the loopback address only.
set -euo pipefail

cmd=${1:-}
dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop|port|sql DATADIR [PORT|ARGS]" >&2; exit 2; }
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
sock="$dir/mysqld.sock"
pidfile="$dir/mysqld.pid"
cnf="$dir/my.cnf"

source "$(dirname "${BASH_SOURCE[0]}")/port.sh"
free_port() {
  unused_port || { echo "dbserver: no free port found" >&2; return 1; }
}

running_pid() {
  [ -f "$pidfile" ] || return 1
  local pid state
  pid=$(cat "$pidfile")
  [ -r "/proc/$pid/status" ] || return 1
  state=$(awk '/^State:/ {print $2}' "/proc/$pid/status")
  # PID 1 here does not always reap children: a zombie counts as stopped.
  [ "$state" != "Z" ] || return 1
  echo "$pid"
}

write_cnf() {
  local port=$1
  # Tests and benchmarks may trade durability for speed; the demo's data keeps the default.
  local flush=${WARASAN_DB_FLUSH:-1}
  # Temporary tables of its own: servers side by side never share /tmp.
  mkdir -p "$dir/tmp"
  cat >"$cnf" <<CNF
[mariadbd]
datadir=$dir/data
tmpdir=$dir/tmp
socket=$sock
pid-file=$pidfile
port=$port
bind-address=${WARASAN_DB_BIND:-127.0.0.1}
skip-name-resolve
lower_case_table_names=${WARASAN_DB_LCTN:-1}
character-set-server=utf8mb4
collation-server=utf8mb4_thai_520_w2
innodb_buffer_pool_size=${WARASAN_DB_BUFFER_POOL:-256M}
innodb_log_file_size=256M
innodb_flush_log_at_trx_commit=$flush
innodb_lock_wait_timeout=20
max_connections=300
log-error=$dir/mysqld.err
[client]
socket=$sock
default-character-set=utf8mb4
CNF
}

case "$cmd" in
start)
  if pid=$(running_pid); then
    cat "$dir/port"
    exit 0
  fi
  port=${3:-}
  [ -n "$port" ] || { [ -f "$dir/port" ] && port=$(cat "$dir/port"); } || true
  [ -n "$port" ] || port=$(free_port)
  echo "$port" >"$dir/port"
  write_cnf "$port"
  if [ ! -d "$dir/data/mysql" ]; then
    mariadb-install-db --defaults-file="$cnf" --skip-test-db \
      --auth-root-authentication-method=socket --auth-root-socket-user="$(id -un)" \
      >"$dir/install.log" 2>&1 || { cat "$dir/install.log" >&2; exit 1; }
  fi
  userarg=()
  [ "$(id -u)" -eq 0 ] && userarg=(--user=root)
  nohup mariadbd --defaults-file="$cnf" "${userarg[@]}" >/dev/null 2>&1 </dev/null &
  echo $! >"$dir/launcher.pid"
  for _ in $(seq 1 300); do
    if [ -S "$sock" ] && mariadb-admin --defaults-file="$cnf" -uroot ping >/dev/null 2>&1; then
      cat "$dir/port"
      exit 0
    fi
    if ! kill -0 "$(cat "$dir/launcher.pid")" 2>/dev/null; then break; fi
    sleep 0.1
  done
  echo "dbserver: the server in $dir did not start; its log says:" >&2
  tail -n 20 "$dir/mysqld.err" >&2 || true
  exit 1
  ;;
stop)
  pid=$(running_pid) || { rm -f "$pidfile"; exit 0; }
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 1 600); do
    running_pid >/dev/null || { rm -f "$pidfile"; exit 0; }
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  rm -f "$pidfile"
  ;;
port)
  cat "$dir/port"
  ;;
sql)
  shift 2
  exec mariadb --defaults-file="$cnf" -uroot "$@"
  ;;
*)
  echo "usage: $0 start|stop|port|sql DATADIR [PORT|ARGS]" >&2
  exit 2
  ;;
esac
