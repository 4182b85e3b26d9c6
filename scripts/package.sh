#!/usr/bin/env bash
# Builds the Debian package from a clean tree: warasan_<version>_amd64.deb in build-package/,
# then lintian's verdict on it.
#   scripts/package.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
for p in help2man lintian dpkg-dev man-db desktop-file-utils appstream; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    { [ "$(id -u)" -eq 0 ] && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$p" >/dev/null ||
      sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$p" >/dev/null; }
done
build=$root/build-package
rm -rf "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DWARASAN_PACKAGE=ON -DWARASAN_TESTS=OFF -DWARASAN_BENCH=OFF >/dev/null
cmake --build "$build"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/warasan_*_amd64.deb)
echo "package: $deb"
lintian --no-tag-display-limit "$deb" || true
