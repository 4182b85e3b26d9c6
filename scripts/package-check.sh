#!/usr/bin/env bash
# The Debian package, checked as a library's machine would take it: built from the tree, its
# file list, lintian without errors, installed with apt, its commands run, then purged with
# nothing left behind. Needs root (or sudo).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
fail() { echo "package-check: $*" >&2; exit 1; }

bash scripts/package.sh >"${TMPDIR:-/tmp}/warasan-package.log" 2>&1 || { cat "${TMPDIR:-/tmp}/warasan-package.log"; fail "build failed"; }
deb=$(ls "$root"/build-package/warasan_*_amd64.deb)
grep -q '^E: ' "${TMPDIR:-/tmp}/warasan-package.log" && { grep '^E: ' "${TMPDIR:-/tmp}/warasan-package.log"; fail "lintian errors"; }
desktop-file-validate packaging/warasan.desktop || fail "the desktop entry does not validate"
appstreamcli validate --no-net packaging/th.ac.library.warasan.metainfo.xml >/dev/null || fail "AppStream metadata does not validate"
files=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for f in ./usr/bin/warasan ./usr/bin/warasan-report ./usr/bin/warasan-dbcheck ./usr/bin/warasan-web \
  ./lib/systemd/system/warasan-web.service ./lib/systemd/system/warasan-alerts.service \
  ./lib/systemd/system/warasan-alerts.timer ./usr/share/man/man1/warasan-web.1.gz ./usr/share/applications/warasan.desktop \
  ./usr/share/icons/hicolor/scalable/apps/warasan.svg ./usr/share/icons/hicolor/48x48/apps/warasan.png \
  ./usr/share/man/man1/warasan.1.gz ./usr/share/man/man1/warasan-report.1.gz ./usr/share/man/man1/warasan-dbcheck.1.gz \
  ./usr/share/metainfo/th.ac.library.warasan.metainfo.xml ./etc/xdg/warasan/warasan.ini; do
  grep -qx "$f" <<<"$files" || fail "missing from the package: $f"
done
if dpkg-query -W -f='${Status}' warasan 2>/dev/null | grep -q "install ok installed"; then
  fail "warasan is already installed on this machine: not touching it"
fi
trap 'as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq warasan >/dev/null 2>&1 || true' EXIT
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
version=$(dpkg-deb -f "$deb" Version)
[ "$(warasan-report --version)" = "warasan-report $version" ] || fail "warasan-report --version"
warasan-dbcheck --help >/dev/null || fail "warasan-dbcheck --help"
man -w warasan-report >/dev/null || fail "no manual page for warasan-report"
# The report server answers its index page on a free port, with no database to read (its chart
# of arrivals is left out then).
weblog=$(mktemp)
warasan-web --port 0 2>"$weblog" &
webpid=$!
for _ in $(seq 50); do webport=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$weblog"); [ -n "$webport" ] && break; sleep 0.1; done
status=$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:${webport:-0}/" || true)
kill "$webpid"; wait "$webpid" || true
[ "$status" = 200 ] || { cat "$weblog"; fail "warasan-web did not answer its index page"; }
for unit in warasan-web.service warasan-alerts.service warasan-alerts.timer; do
  systemd-analyze verify "/lib/systemd/system/$unit" 2>&1 | grep -v "^$" && fail "$unit does not verify" || true
done
# The alerts run refuses to start without a mail server configured, and says so.
said=$(warasan-report alerts 2>&1 || true)
grep -q "alerts need \[mail\]" <<<"$said" || fail "warasan-report alerts without [mail]: $said"
[ "$(stat -c '%a %G' /etc/xdg/warasan/warasan.ini)" = "640 warasan" ] || fail "configuration not 0640 root:warasan"
as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq warasan >/dev/null
trap - EXIT
[ -z "$(dpkg -L warasan 2>/dev/null)" ] || fail "files left after purge"
[ ! -e /etc/xdg/warasan ] || fail "configuration left after purge"
echo "package-check: $(basename "$deb") built, installed, run and purged; lintian: $(grep -c '^W: ' "${TMPDIR:-/tmp}/warasan-package.log" || true) warning(s), no error"
