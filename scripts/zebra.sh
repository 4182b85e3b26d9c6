#!/usr/bin/env bash
# A real catalogue server to copy records from, as libraries run one: Zebra (Debian's
# idzebra-2.0) holding MARC 21 records, title and ISSN indexed, answering Z39.50 and SRU on one
# loopback port.
#   bash scripts/zebra.sh start DIR RECORDS.mrc PORT   indexes the records under DIR, starts the server
#   bash scripts/zebra.sh stop DIR
set -euo pipefail
action=${1:?start or stop}
dir=${2:?folder}
case "$action" in
start)
  records=${3:?ISO 2709 file}
  port=${4:?port}
  mkdir -p "$dir/register" "$dir/shadow" "$dir/lock"
  # The Bath profile's title and ISSN (bib-1 4 and 8) from 245 and 022, beside Zebra's own rules.
  sed -e '/^melm 245\t/a melm 022$a\t\tISSN:w,ISSN:p' /usr/share/idzebra-2.0/tab/marc21.abs >"$dir/warasan.abs"
  # The records are UTF-8 (leader/09 a): said, or SRU's answers carry them re-encoded as Latin-1.
  sed -i 's/^name marc21/name warasan\nencoding utf-8/' "$dir/warasan.abs"
  cat >"$dir/zebra.cfg" <<CFG
profilePath: $dir:/usr/share/idzebra-2.0/tab
modulePath: /usr/lib/x86_64-linux-gnu/idzebra-2.0/modules
attset: bib1.att
recordType: grs.marcxml.warasan
register: $dir/register:100M
shadow: $dir/shadow:100M
lockDir: $dir/lock
database: Default
encoding: utf-8
CFG
  # CQL's names for SRU, with the Bath profile's ISSN that YAZ's own table lacks.
  { cat /usr/share/yaz/etc/pqf.properties; echo 'index.bath.issn = 1=8'; } >"$dir/cql.properties"
  cat >"$dir/server.xml" <<XML
<yazgfs>
  <listen id="catalogue">tcp:127.0.0.1:$port</listen>
  <server id="zebra" listenref="catalogue">
    <config>$dir/zebra.cfg</config>
    <cql2rpn>$dir/cql.properties</cql2rpn>
    <retrievalinfo>
      <retrieval syntax="usmarc"/>
      <retrieval syntax="xml" name="marcxml">
        <backend syntax="usmarc" name="F">
          <marc inputformat="marc" outputformat="marcxml" inputcharset="utf-8" outputcharset="utf-8"/>
        </backend>
      </retrieval>
    </retrievalinfo>
  </server>
</yazgfs>
XML
  (cd "$dir" && zebraidx -c zebra.cfg -t grs.marcxml.warasan init >/dev/null 2>&1 &&
    zebraidx -c zebra.cfg -t grs.marcxml.warasan update "$records" >"$dir/index.log" 2>&1 &&
    zebraidx -c zebra.cfg commit >>"$dir/index.log" 2>&1)
  (cd "$dir" && setsid zebrasrv -f server.xml -l "$dir/server.log" -p "$dir/server.pid" </dev/null >/dev/null 2>&1 &)
  for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && exit 0
    sleep 0.1
  done
  echo "zebra: the server did not start; see $dir/server.log" >&2
  exit 1
  ;;
stop)
  [ -f "$dir/server.pid" ] && kill "$(cat "$dir/server.pid")" 2>/dev/null || true
  ;;
esac
