#!/usr/bin/env bash
# Sets up the machine, builds, makes a sample setup package and runs its setup under Wine
# on the user's display (an Xvfb display of its own when there is none). Everything runs
# in a Wine prefix of the build's own (build/wine-run/prefix, fresh each time), never in
# the user's own prefix.
#   scripts/run.sh            the sample package's setup, then Wine's list of installed
#                             programs, where the sample can be removed again
#   scripts/run.sh builder    the builder instead
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${TANDREL_BUILD_ROOT:-$top/build}
"$top/scripts/setup.sh"
"$top/scripts/build.sh" all
. "$top/scripts/wine-harness.sh"
user_display=${DISPLAY:-}
trap harness_stop EXIT
harness_start "$root/wine-run"
[ -n "$user_display" ] && export DISPLAY="$user_display"
bin="$root/win/bin"

if [ "${1:-}" = builder ]; then
  wine "$bin/TandrelBuilder.exe"
  exit 0
fi

for part in make_sample_package.exe Setup.exe TandrelInstall.exe; do
  [ -f "$bin/$part" ] || { echo "run.sh: $bin/$part was not built" >&2; exit 1; }
done
# The build writes the stub's size into the Setup.exe of the builder's folder: build from
# copies, so the tree's own stub stays as built.
sample="$WINEPREFIX/drive_c/TandrelSample"
mkdir -p "$sample/builder"
cp "$bin/make_sample_package.exe" "$bin/Setup.exe" "$bin/TandrelInstall.exe" "$sample/builder/"
echo "== building the sample package (C:\\TandrelSample\\TandrelSample.exe)"
wine 'C:\TandrelSample\builder\make_sample_package.exe' 'C:\TandrelSample' </dev/null
echo "== running its setup: $WINEPREFIX/drive_c/TandrelSample/TandrelSample.exe"
wine 'C:\TandrelSample\TandrelSample.exe' </dev/null || true
echo "== Wine's list of installed programs: choose \"Tandrel Sample\" to remove it again"
wine uninstaller </dev/null || true
