#!/usr/bin/env bash
# Creates the Warasan database DBNAME on the private server in DATADIR when it does not
# exist yet: schema, installation rows, and the program's least-privilege account varnok.
#
#   provision.sh DATADIR DBNAME
#
# Prints "created" when it made the database, "exists" when it was already there.
# The intranet report server's account warasan_web may only read; warasan_requests may only
# record readers' alert requests.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
dir=$1
db=$2
[[ "$db" =~ ^[A-Za-z0-9_]+$ ]] || { echo "provision: bad database name '$db'" >&2; exit 2; }
sql() { "$here/dbserver.sh" sql "$dir" "$@"; }

exists=$(sql -N -e "SELECT COUNT(*) FROM information_schema.schemata WHERE schema_name='$db'")
# varnok reaches the server over the loopback address or the socket, with no password
# unless the installation sets one; it may read and write rows, nothing more.
{
  for host in localhost 127.0.0.1 ::1; do
    echo "CREATE USER IF NOT EXISTS 'varnok'@'$host';"
    echo "GRANT SELECT, INSERT, UPDATE, DELETE ON \`$db\`.* TO 'varnok'@'$host';"
    echo "CREATE USER IF NOT EXISTS 'warasan_web'@'$host';"
    echo "GRANT SELECT ON \`$db\`.* TO 'warasan_web'@'$host';"
  done
} | sql
# The report server's second account records readers' alert requests and nothing else.
# The staff roles on this database (loading them again changes nothing); the report server's
# account reads as the reports role.
roles() {
  sql "$db" < "$root/db/roles.sql"
  for host in localhost 127.0.0.1 ::1; do
    echo "GRANT warasan_reports TO 'warasan_web'@'$host';"
    echo "SET DEFAULT ROLE warasan_reports FOR 'warasan_web'@'$host';"
  done | sql
}
requests() {
  [ "$(sql -N -e "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema='$db' AND table_name='alert_request'")" = 1 ] || return 0
  for host in localhost 127.0.0.1 ::1; do
    echo "CREATE USER IF NOT EXISTS 'warasan_requests'@'$host';"
    echo "GRANT SELECT (token, email, pointer, action, requested, confirmed), INSERT (token, email, pointer, action, reader_name), UPDATE (confirmed) ON \`$db\`.alert_request TO 'warasan_requests'@'$host';"
  done | sql
}
if [ "$exists" = "1" ]; then
  # An older database may lack a table a role is given rights on: warasan-dbcheck --migrate
  # brings it up to date first.
  roles || echo "provision: staff roles not given on $db; run warasan-dbcheck --migrate" >&2
  requests
  echo exists
  exit 0
fi
sql -e "CREATE DATABASE \`$db\` CHARACTER SET utf8mb4 COLLATE utf8mb4_thai_520_w2"
cat "$root/db/schema.sql" "$root/db/seed.sql" | sql "$db"
roles
requests
echo created
