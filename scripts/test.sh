#!/usr/bin/env bash
# Sets up the machine, builds every tree and runs every test: natively with sanitizers,
# the libFuzzer targets briefly from their seeds, then the Windows tests under Wine in a
# fresh prefix of the run's own.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" all
. "$top/scripts/wine-harness.sh"
# Where the 32-bit tree runs the tests, the 64-bit programs are built too: the other tree
# the README names must keep compiling.
if [ "$(harness_tree)" = win ]; then
  "$top/scripts/build.sh" win64 TandrelBuilder TandrelInstall tandrel_stub
fi
# A short run of each target here; scripts/build.sh fuzz alone gives the long one.
TANDREL_FUZZ_RUNS=${TANDREL_FUZZ_RUNS:-10000} "$top/scripts/build.sh" fuzz
root=${TANDREL_BUILD_ROOT:-$top/build}
status=0
echo "== native tests"
( cd "$root/native" && ctest -j "$(nproc)" --output-on-failure ) || status=1
echo "== fuzz targets, from their seeds"
( cd "$root/fuzz" && ctest -j "$(nproc)" -R '_fuzz$' --output-on-failure ) || status=1
echo "== Windows tests under Wine"
if ! harness_can_run; then
  echo "== Windows tests NOT RUN: this machine runs no Wine (the Windows tree was built;"
  echo "   only the native tests and the fuzz targets ran)"
  exit $status
fi
tree=$(harness_tree)
if [ "$tree" = win64 ]; then
  echo "== this machine's kernel runs no 32-bit x86 programs: the 64-bit build of the same"
  echo "   sources runs under 64-bit Wine"
fi
trap harness_stop EXIT
harness_start "$root/wine"
# The tests share one display: a test whose window loses the activation to another
# test's at the wrong moment runs once more (the output shows both runs).
( cd "$root/$tree" && ctest -j "$(nproc)" --output-on-failure --repeat until-pass:2 ) || status=1
exit $status
