#!/usr/bin/env bash
# The main road in a Wine prefix of this test's own, copied from the harness's template:
# what the setup installs, and the restart it asks for, touch no other test's prefix.
#   run_e2e.sh DRIVER ENGINE STUB PROGRAM DLL_V15 DLL_V20 DLL_PLAIN [gtest arguments]
# TANDREL_E2E_KEEP=1 keeps the prefix for a look afterwards.
set -eu
driver=$1 engine=$2 stub=$3 prog=$4 v15=$5 v20=$6 plain=$7
shift 7
[ -n "${TANDREL_WINE_HARNESS:-}" ] && [ -f "$TANDREL_WINE_HARNESS/template/.ready" ] || {
  echo "needs the Wine harness (scripts/wine-ctest.sh)"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tandrel_e2e.XXXXXX")
export WINEPREFIX="$work/prefix"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${TANDREL_E2E_KEEP:-}" ]; then echo "prefix kept: $WINEPREFIX"; else rm -rf "$work"; fi
}
trap cleanup EXIT
cp -a "$TANDREL_WINE_HARNESS/template" "$WINEPREFIX"
# The copy's user folders (Desktop, Documents, ...) point at the harness's home: this
# prefix gets folders of its own, and a home of its own.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
done
# Deeper ones too (AppData\...\Templates): other tests' shortcuts land in the harness's home.
find "$WINEPREFIX/drive_c/users" -type l -print0 | while IFS= read -r -d '' link; do
  rm "$link"; mkdir -p "$link"
done
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config"
export XDG_CACHE_HOME="$work/home/.cache"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
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
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
cd "$c/builder"
wine 'C:\e2e\builder\e2e_main_road.exe' "$@" </dev/null
