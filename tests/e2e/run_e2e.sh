#!/usr/bin/env bash
# The main road in a Wine prefix of this test's own, copied from the harness's template:
# what the setup installs, and the restart it asks for, touch no other test's prefix.
#   run_e2e.sh DRIVER ENGINE STUB PROGRAM DLL_V15 DLL_V20 DLL_PLAIN [gtest arguments]
# TANDREL_E2E_KEEP=1 keeps the prefix for a look afterwards.
set -eu
driver=$1 engine=$2 stub=$3 prog=$4 v15=$5 v20=$6 plain=$7
shift 7
. "$(dirname "$0")/e2e_prefix.sh"
e2e_prefix_start
c="$WINEPREFIX/drive_c/e2e"
mkdir -p "$c/builder" "$c/src"
# The builder's folder: the driver builds with the stub and the engine beside it.
cp "$driver" "$c/builder/e2e_main_road.exe"
cp "$engine" "$c/builder/TandrelInstall.exe"
cp "$stub" "$c/builder/Setup.exe"
cp "$prog" "$c/src/demo.exe"
cp "$prog" "$c/src/marker.exe"
cp "$v15" "$c/src/app.dll"
cp "$v20" "$c/src/app20.dll"
cp "$plain" "$c/src/tandrel_e2e_shared.dll"
e2e_prefix_server
cd "$c/builder"
wine 'C:\e2e\builder\e2e_main_road.exe' "$@" </dev/null
