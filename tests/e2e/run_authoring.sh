#!/usr/bin/env bash
# The authoring road in a Wine prefix of this test's own: the builder authors and builds
# a package through its windows, the package installs and uninstalls there.
#   run_authoring.sh DRIVER BUILDER ENGINE STUB PROGRAM [gtest arguments]
# TANDREL_E2E_KEEP=1 keeps the prefix for a look afterwards.
set -eu
driver=$1 builder=$2 engine=$3 stub=$4 prog=$5
shift 5
. "$(dirname "$0")/e2e_prefix.sh"
e2e_prefix_start
c="$WINEPREFIX/drive_c/e2e"
mkdir -p "$c/builder" "$c/src"
# The builder builds with the stub and the engine beside it.
cp "$builder" "$c/builder/TandrelBuilder.exe"
cp "$engine" "$c/builder/TandrelInstall.exe"
cp "$stub" "$c/builder/Setup.exe"
cp "$driver" "$c/e2e_authoring.exe"
cp "$prog" "$c/src/demo.exe"
e2e_prefix_server
cd "$c"
wine 'C:\e2e\e2e_authoring.exe' "$@" </dev/null
