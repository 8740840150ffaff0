#!/usr/bin/env bash
# Runs ctest in the Windows tree under a Wine harness of the tree's own, passing its
# arguments on: scripts/wine-ctest.sh -R Wizard --output-on-failure
# Builds nothing; TANDREL_BUILD_ROOT picks the build folder as in build.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${TANDREL_BUILD_ROOT:-$top/build}
. "$top/scripts/wine-harness.sh"
trap harness_stop EXIT
harness_start "$root/wine"
cd "$root/$(harness_tree)" && ctest -j "$(nproc)" "$@"
