#!/usr/bin/env bash
# Runs the editors benchmark (bin/editors_bench.exe of the Windows tree) under a Wine
# prefix and display of its own: bench/editors_bench.sh. TANDREL_BUILD_ROOT as in build.sh.
. "$(dirname "$0")/wine-bench.sh"
wine_bench editors_bench "$@"
