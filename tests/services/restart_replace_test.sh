#!/bin/sh
# Files in use replaced at the next start of Windows: a child of the test program schedules
# the replacements (MoveFileExA on NT, WININIT.INI on the 95 family), `wineboot -r` restarts
# a prefix of this test's own, and another child checks the files. Its own prefix, since a
# restart carries out every pending rename of the prefix it runs in.
set -eu
exe=$1
[ -n "${TANDREL_WINE_HARNESS:-}" ] && [ -f "$TANDREL_WINE_HARNESS/template/.ready" ] || {
  echo "needs the Wine harness"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tandrel_restart.XXXXXX")
export WINEPREFIX="$work/prefix"
cleanup() { wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"; }
trap cleanup EXIT
cp -a "$TANDREL_WINE_HARNESS/template" "$WINEPREFIX"
wineserver -p >/dev/null 2>&1 </dev/null
cp "$exe" "$work/tif_restart.exe"
TANDREL_RESTART_PHASE=setup wine "$work/tif_restart.exe" --gtest_filter='InstallFileRestart.*' </dev/null
wineboot -r >/dev/null 2>&1 </dev/null
TANDREL_RESTART_PHASE=check wine "$work/tif_restart.exe" --gtest_filter='InstallFileRestart.*' </dev/null
