#!/usr/bin/env bash
# Runs every test: installs what is missing, builds, starts a private MariaDB server on a
# free loopback port in a temporary folder, runs CTest offscreen, stops that server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# The report server's tests load its pages in a real browser; the cluster test starts Galera
# nodes that pass state to each other with rsync; exported MARC records are read back by YAZ's
# yaz-marcdump and checked by MARC::Lint, and copied from a Zebra catalogue server; the new-issue
# alerts are sent to a mail server of aiosmtpd's.
WARASAN_TEST_PACKAGES="chromium galera-4 rsync yaz idzebra-2.0 python3-aiosmtpd libmarc-lint-perl" bash scripts/setup.sh
# Paths under the clone are hashed relative to it, so a new clone reuses the compiler cache.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
build=${WARASAN_BUILD_DIR:-$root/build}
asan=${WARASAN_ASAN_BUILD_DIR:-$root/build-asan}
sanitize=${WARASAN_SANITIZE:-1}
package_check=${WARASAN_PACKAGE_CHECK:-1}
# bench/mutate.sh runs its planted-fault run in place of the tests, in the same surroundings.
instead=${WARASAN_TEST_INSTEAD:-}
cmake -S "$root" -B "$build" -G Ninja -DWARASAN_TESTS=ON >/dev/null
cmake --build "$build"

tmp=$(mktemp -d)
cleanup() {
  bash "$root/scripts/dbserver.sh" stop "$tmp/db" || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# The server counts wrong passwords only from other machines: it listens on this machine's own
# address too (where it has one), for the sign-in limit's test to come from there.
outer=$(ip -4 -o addr show scope global 2>/dev/null | awk '{sub(/\/.*/, "", $4); print $4; exit}' || true)
# The tests' data is thrown away afterwards: no need to flush every commit to disk.
port=$(WARASAN_DB_BIND="127.0.0.1${outer:+,$outer}" WARASAN_DB_FLUSH=2 bash scripts/dbserver.sh start "$tmp/db")
echo "test server: 127.0.0.1:$port (pid $(cat "$tmp/db/mysqld.pid"))"

# Nothing of the user's own installation reaches the tests (the explorer's own settings do).
for v in $(env | awk -F= '/^WARASAN_/ && !/^WARASAN_EXPLORE_/ {print $1}'); do unset "$v"; done
export XDG_CONFIG_HOME="$tmp/config"
export WARASAN_TEST_PORT="$port"
export WARASAN_TEST_SOCKET="$tmp/db/mysqld.sock"
export WARASAN_TEST_OUTER_HOST="$outer"
export QT_QPA_PLATFORM=offscreen

if [ -n "$instead" ]; then
  $instead "$@"
  exit $?
fi
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"

# The window suites and the explorer once more, in a debug build with AddressSanitizer and
# UndefinedBehaviorSanitizer (WARASAN_SANITIZE=0 skips it while iterating).
if [ "$sanitize" != 0 ]; then
  cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWARASAN_SANITIZE=ON -DWARASAN_BENCH=OFF >/dev/null
  cmake --build "$asan"
  # Leaks are not looked for: the toolkit and the font library keep their caches to the end.
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$asan" --output-on-failure -j "$(nproc)" -L 'unit|window|explorer' "$@"
fi

# The Debian package, from the programs just built and tested: checked, installed, run and
# purged (WARASAN_PACKAGE_CHECK=0 skips).
if [ "$package_check" != 0 ]; then
  WARASAN_PACKAGE_FROM="$build" bash scripts/package-check.sh
fi
