#!/usr/bin/env bash
# The kept engine's folder on the 95 family (engine_folder_test.cpp): in a prefix of its own
# that Wine reports as each version, the uninstall, a restart (`wineboot -r` carries out
# WININIT.INI), the check. The second version's uninstall goes through Wine's uninstaller.
#   run_engine_folder.sh DRIVER ENGINE
set -eu
driver=$1 engine=$2
. "$(dirname "$0")/e2e_prefix.sh"
e2e_prefix_start
c="$WINEPREFIX/drive_c/e2e"
mkdir -p "$c/engine"
cp "$driver" "$c/e2e_engine_folder.exe"
cp "$engine" "$c/engine/TandrelInstall.exe"
e2e_prefix_server
run() { TANDREL_VERSION=$1 TANDREL_PHASE=$2 TANDREL_UNINSTALLER=$3 wine 'C:\e2e\e2e_engine_folder.exe' </dev/null; }
for pass in "win95 registered" "win98 wine"; do
  set -- $pass
  wine reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1 </dev/null
  run "$1" uninstall "$2"
  wineboot -r >/dev/null 2>&1 </dev/null
  run "$1" check "$2"
done
