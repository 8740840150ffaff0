#!/usr/bin/env bash
# Runs the editors benchmark (bin/editors_bench.exe of the Windows tree) under a Wine
# prefix and display of its own: bench/editors_bench.sh. TANDREL_BUILD_ROOT as in build.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${TANDREL_BUILD_ROOT:-$top/build}
. "$top/scripts/wine-harness.sh"
trap harness_stop EXIT
harness_start "$root/wine-bench"
wine "$root/win/bin/editors_bench.exe" "$@"
