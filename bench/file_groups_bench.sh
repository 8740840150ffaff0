#!/usr/bin/env bash
# Runs the file groups editor benchmark (bin/file_groups_bench.exe of the Windows tree)
# under a Wine prefix and display of its own: bench/file_groups_bench.sh [--quick].
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${TANDREL_BUILD_ROOT:-$top/build}
. "$top/scripts/wine-harness.sh"
trap harness_stop EXIT
harness_start "$root/wine-bench"
wine "$root/win/bin/file_groups_bench.exe" "$@"
