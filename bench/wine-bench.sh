# Sourced by the benchmark scripts: wine_bench NAME [ARGS...] runs bin/NAME.exe of the
# Windows tree with ARGS under a Wine prefix and display of its own. TANDREL_BUILD_ROOT as
# in build.sh.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${TANDREL_BUILD_ROOT:-$top/build}
. "$top/scripts/wine-harness.sh"

wine_bench() {
  local exe=$root/$(harness_tree)/bin/$1.exe
  shift
  trap harness_stop EXIT
  harness_start "$root/wine-bench"
  wine "$exe" "$@"
}
