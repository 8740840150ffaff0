#!/usr/bin/env bash
# Runs the copy benchmark (bin/copy_bench.exe of the Windows tree) under a Wine prefix and
# display of its own: bench/copy_bench.sh [--quick]. TANDREL_BUILD_ROOT as in build.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${TANDREL_BUILD_ROOT:-$top/build}
. "$top/scripts/wine-harness.sh"
trap harness_stop EXIT
harness_start "$root/wine-bench"
wine "$root/win/bin/copy_bench.exe" "$@"
