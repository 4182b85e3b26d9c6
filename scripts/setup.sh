#!/usr/bin/env bash
# Installs what Warasan needs to build, run and test on Debian 12, and registers the
# ODBC driver name the program connects with. Safe to run again: it only does what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev libqt6sql6-sqlite libgl-dev
  unixodbc unixodbc-dev odbc-mariadb libcpp-httplib-dev libsqlite3-dev libyaz-dev libcurl4-openssl-dev
  mariadb-server mariadb-client
  fonts-thai-tlwg poppler-utils time
  ${WARASAN_TEST_PACKAGES:-}
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Debian package of mariadb-server starts a system server when a service manager is
# present; Warasan always starts its own private one, so nothing here depends on that.

driver_name="MySQL ODBC 3.51 Driver"
driver_lib=$(dpkg -L odbc-mariadb | grep -m1 '/libmaodbc\.so$')
if ! odbcinst -q -d -n "$driver_name" 2>/dev/null | grep -q "^Driver=$driver_lib$"; then
  template=$(mktemp)
  printf '[%s]\nDescription=MariaDB Connector/ODBC under the name Warasan connects with\nDriver=%s\nUsageCount=1\n' \
    "$driver_name" "$driver_lib" >"$template"
  as_root odbcinst -i -d -f "$template" >/dev/null
  rm -f "$template"
  echo "setup: registered ODBC driver \"$driver_name\" -> $driver_lib"
fi
