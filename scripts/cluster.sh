#!/usr/bin/env bash
# A private MariaDB Galera cluster on the loopback address: N servers (default 3), each
# taking writes, kept in step synchronously; for trying the program against several servers.
#
#   cluster.sh start DIR [N]     initialise DIR/node1..N if new and start them; prints the
#                                station's server list ("127.0.0.1:P1,127.0.0.1:P2,...")
#   cluster.sh stop DIR          stop every node
#   cluster.sh status DIR        each node's port, state and the cluster size it sees
#   cluster.sh kill DIR I [SIG]  kill node I at once (SIGKILL, as a power cut would), or with
#                                SIG=TERM stop it in order (it leaves the cluster cleanly)
#   cluster.sh restart DIR I     start node I again; it rejoins by incremental or full state
#                                transfer (rsync) from the others
#   cluster.sh sql DIR I [ARGS]  the mariadb client as the administrator on node I
#
# The first start bootstraps node 1, loads the schema, the installation rows and the
# accounts (scripts/provision.sh) once, then joins the other nodes one by one; each node
# runs in its own session, so the cluster outlives the shell that started it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cmd=${1:-}
top=${2:-}
[ -n "$cmd" ] && [ -n "$top" ] || { sed -n '2,17p' "$0" >&2; exit 2; }
mkdir -p "$top"
top=$(cd "$top" && pwd)

source "$(dirname "${BASH_SOURCE[0]}")/port.sh"
# A port no other node of this cluster was given either.
free_port() {
  local p
  p=$(unused_port $(cat "$top"/ports 2>/dev/null)) || { echo "cluster: no free port found" >&2; return 1; }
  echo "$p" >>"$top/ports"
  echo "$p"
}

nodes() { ls -d "$top"/node* 2>/dev/null | sed 's|.*/node||' | sort -n; }
sock() { echo "$top/node$1/mysqld.sock"; }
client() { local i=$1; shift; mariadb --defaults-file="$top/node$i/my.cnf" -uroot "$@"; }
status_of() { client "$1" -N -e "SHOW GLOBAL STATUS LIKE '$2'" 2>/dev/null | awk '{print $2}'; }

pid_of() {
  local f="$top/node$1/mysqld.pid" pid
  [ -f "$f" ] || return 1
  pid=$(cat "$f")
  [ -r "/proc/$pid/status" ] && ! grep -q '^State:.*Z' "/proc/$pid/status" || return 1
  echo "$pid"
}

# Ports are chosen once per node (client, group communication, incremental and full
# transfer) and kept in the node's folder.
configure() {
  local n=$1 i dir address=""
  for i in $(seq 1 "$n"); do
    dir="$top/node$i"
    mkdir -p "$dir/tmp"
    [ -f "$dir/ports" ] || echo "$(free_port) $(free_port) $(free_port) $(free_port)" >"$dir/ports"
  done
  for i in $(seq 1 "$n"); do
    address+="${address:+,}127.0.0.1:$(awk '{print $2}' "$top/node$i/ports")"
  done
  for i in $(seq 1 "$n"); do
    dir="$top/node$i"
    read -r port gcomm ist sst <"$dir/ports"
    cat >"$dir/my.cnf" <<CNF
[mariadbd]
datadir=$dir/data
tmpdir=$dir/tmp
socket=$dir/mysqld.sock
pid-file=$dir/mysqld.pid
port=$port
bind-address=127.0.0.1
skip-name-resolve
lower_case_table_names=1
character-set-server=utf8mb4
collation-server=utf8mb4_thai_520_w2
innodb_buffer_pool_size=128M
innodb_log_file_size=64M
innodb_flush_log_at_trx_commit=${WARASAN_DB_FLUSH:-1}
innodb_lock_wait_timeout=20
max_connections=300
log-error=$dir/mysqld.err
# What Galera needs: row events, interleaved auto-increment locks, InnoDB.
binlog_format=ROW
innodb_autoinc_lock_mode=2
default_storage_engine=InnoDB
wsrep_on=ON
wsrep_provider=/usr/lib/galera/libgalera_smm.so
wsrep_cluster_name=warasan
wsrep_cluster_address=gcomm://$address
wsrep_node_name=node$i
wsrep_node_address=127.0.0.1
wsrep_node_incoming_address=127.0.0.1:$port
# A node that stops answering is suspected after 1 s and left once the others agree (Galera's
# default: 5 s), so their commits are held for about a second, not for seconds; its
# heartbeats go four times a second so that a busy node is not taken for a dead one. The
# silence is looked for, and the join messages that leave the node are sent again, every
# 0.1 s (Galera's 1 s resend alone held commits 2 s where 1.1 s remain now).
wsrep_provider_options="gmcast.listen_addr=tcp://127.0.0.1:$gcomm;ist.recv_addr=127.0.0.1:$ist;gcache.size=128M;pc.wait_prim_timeout=PT30S;evs.keepalive_period=PT0.25S;evs.inactive_check_period=PT0.1S;evs.suspect_timeout=PT1S;evs.join_retrans_period=PT0.1S;evs.inactive_timeout=PT5S;evs.install_timeout=PT4S"
wsrep_sst_method=rsync
wsrep_sst_receive_address=127.0.0.1:$sst
[client]
socket=$dir/mysqld.sock
default-character-set=utf8mb4
CNF
  done
}

# Run as root, the servers run as "mysql": the full state transfer's rsync daemon, started by
# the joining server, writes as the user it runs as (as root it would write as "nobody" and be
# refused the joiner's folder).
runas=()
if [ "$(id -u)" -eq 0 ]; then
  runas=(--user=mysql)
  chmod o+x "$top"
fi

start_node() {
  local i=$1 dir="$top/node$1" extra=()
  shift
  extra=("$@")
  pid_of "$i" >/dev/null && return 0
  mkdir -p "$dir/data"
  [ ${#runas[@]} -gt 0 ] && chown -R mysql:mysql "$dir"
  if [ ! -d "$dir/data/mysql" ] && [ "${extra[*]:-}" = "--wsrep-new-cluster" ]; then
    mariadb-install-db --defaults-file="$dir/my.cnf" "${runas[@]}" --skip-test-db \
      --auth-root-authentication-method=socket --auth-root-socket-user="$(id -un)" >"$dir/install.log" 2>&1 ||
      { cat "$dir/install.log" >&2; exit 1; }
  fi
  local userarg=("${runas[@]}")
  setsid mariadbd --defaults-file="$dir/my.cnf" "${userarg[@]}" "${extra[@]}" >/dev/null 2>&1 </dev/null &
  for _ in $(seq 1 1200); do
    if [ "$(status_of "$i" wsrep_local_state_comment)" = "Synced" ]; then return 0; fi
    if ! pgrep -f -- "--defaults-file=$dir/my.cnf" >/dev/null; then break; fi
    sleep 0.1
  done
  echo "cluster: node $i did not reach Synced; its log says:" >&2
  tail -n 25 "$dir/mysqld.err" >&2 || true
  exit 1
}

server_list() {
  local i list=""
  for i in $(nodes); do list+="${list:+,}127.0.0.1:$(awk '{print $1}' "$top/node$i/ports")"; done
  echo "$list"
}

case "$cmd" in
start)
  n=${3:-$( [ -n "$(nodes)" ] && nodes | tail -1 || echo 3)}
  configure "$n"
  if [ ! -d "$top/node1/data/mysql" ]; then
    start_node 1 --wsrep-new-cluster
    # provision.sh reaches a server through its folder's my.cnf: node 1's.
    bash "$here/provision.sh" "$top/node1" magazine >/dev/null
    # A cluster runs without the triggers that keep the search pieces (the program's saves
    # write them): under saves on two nodes at once they were seen failing to load ("Unknown
    # trigger has an error in its body: 'Query was empty'"). The change history's triggers go
    # too: they fail the same way (and then stay failed for every session of the node).
    for t in $(sed -n 's/^CREATE TRIGGER \([a-z_]*\) .*/\1/p' "$here/../db/schema.sql" | tac); do
      client 1 magazine -e "DROP TRIGGER IF EXISTS $t"
    done
  else
    # A cluster stopped as a whole starts again from the node stopped last (safe_to_bootstrap).
    first=$(grep -l 'safe_to_bootstrap: 1' "$top"/node*/data/grastate.dat 2>/dev/null | head -1 | sed 's|.*/node\([0-9]*\)/.*|\1|')
    if [ -n "$(for i in $(nodes); do pid_of "$i" || true; done)" ]; then
      first=""
    fi
    [ -n "$first" ] && start_node "$first" --wsrep-new-cluster
  fi
  for i in $(seq 1 "$n"); do start_node "$i"; done
  server_list
  ;;
stop)
  # Joiners first, node 1's successor last, so the last one stopped may bootstrap next time.
  for i in $(nodes | sort -rn); do
    pid=$(pid_of "$i") || continue
    kill "$pid"
    for _ in $(seq 1 600); do pid_of "$i" >/dev/null || break; sleep 0.1; done
  done
  ;;
kill)
  if pid=$(pid_of "$3"); then
    kill -"${4:-KILL}" "$pid" || true
    for _ in $(seq 1 600); do pid_of "$3" >/dev/null || break; sleep 0.1; done
  fi
  ;;
restart)
  start_node "$3"
  ;;
status)
  for i in $(nodes); do
    port=$(awk '{print $1}' "$top/node$i/ports")
    if pid_of "$i" >/dev/null; then
      echo "node$i 127.0.0.1:$port $(status_of "$i" wsrep_local_state_comment) cluster_size=$(status_of "$i" wsrep_cluster_size)"
    else
      echo "node$i 127.0.0.1:$port stopped"
    fi
  done
  ;;
servers)
  server_list
  ;;
sql)
  i=$3
  shift 3
  client "$i" "$@"
  ;;
*)
  sed -n '2,17p' "$0" >&2
  exit 2
  ;;
esac
