#!/usr/bin/env bash
# Runs the copy benchmark (bin/copy_bench.exe of the Windows tree) under a Wine prefix and
# display of its own: bench/copy_bench.sh [--quick]. TANDREL_BUILD_ROOT as in build.sh.
. "$(dirname "$0")/wine-bench.sh"
wine_bench copy_bench "$@"
