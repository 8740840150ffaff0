#!/usr/bin/env bash
# Runs the file groups editor benchmark (bin/file_groups_bench.exe of the Windows tree)
# under a Wine prefix and display of its own: bench/file_groups_bench.sh [--quick].
. "$(dirname "$0")/wine-bench.sh"
wine_bench file_groups_bench "$@"
