#!/usr/bin/env bash
# The planted-fault run: plants each slip of bench/mutants.tsv in turn, rebuilds only what it
# touches, runs the suites that could see it and prints caught or survived per slip and the
# score per folder. A developer's tool, not part of the test command. It runs where the tests
# run (scripts/test.sh: the build, a private database server, the tests' settings).
#
#   bash bench/mutate.sh                 # every slip (about half an hour on 2 cores)
#   bash bench/mutate.sh --only 'web|reports'
#
# Leave the tree's own changes committed or stashed first: each slip is written into the source
# and the file put back afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${WARASAN_BUILD_DIR:-$root/build}
WARASAN_TEST_INSTEAD="python3 $root/bench/mutate.py --build $build --log $build/mutate.log" \
  exec bash "$root/scripts/test.sh" "$@"
