#!/usr/bin/env bash
# Builds the Debian package: warasan_<version>_amd64.deb in build-package/, then lintian's
# verdict on it. From a clean tree of its own (a release build), or, with WARASAN_PACKAGE_FROM
# naming a build tree already made (the test command's), from that tree: its programs are
# packaged as they were built and tested, nothing compiled twice.
#   scripts/package.sh
#   WARASAN_PACKAGE_FROM=build scripts/package.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
for p in help2man lintian dpkg-dev man-db desktop-file-utils appstream; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    { [ "$(id -u)" -eq 0 ] && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$p" >/dev/null ||
      sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$p" >/dev/null; }
done
out=$root/build-package
from=${WARASAN_PACKAGE_FROM:-}
if [ -n "$from" ]; then
  build=$(cd "$from" && pwd)
  rm -f "$build"/warasan_*_amd64.deb
  cmake -S "$root" -B "$build" -DCMAKE_INSTALL_PREFIX=/usr -DWARASAN_PACKAGE=ON >/dev/null
else
  build=$out
  rm -rf "$build"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DWARASAN_PACKAGE=ON -DWARASAN_TESTS=OFF -DWARASAN_BENCH=OFF >/dev/null
fi
cmake --build "$build"
(cd "$build" && cpack -G DEB >/dev/null)
if [ "$build" != "$out" ]; then
  rm -rf "$out" && mkdir -p "$out"
  mv "$build"/warasan_*_amd64.deb "$out"/
fi
deb=$(ls "$out"/warasan_*_amd64.deb)
echo "package: $deb"
lintian --no-tag-display-limit "$deb" || true
