#!/usr/bin/env bash
# Sets up the machine, builds, makes a sample setup package and runs its setup under Wine.
# Everything runs in a Wine prefix of the build's own (build/wine-run/prefix, fresh each
# time), never in the user's own prefix.
#   scripts/run.sh            with a display: the sample package's setup, then Wine's list
#                             of installed programs, where the sample can be removed again;
#                             without one: the setup and the uninstaller are gone through
#                             page by page on a display of their own, a PNG of each page is
#                             saved under build/wine-run/pictures/ and the run ends
#   scripts/run.sh builder    the builder instead, with the sample project first in its
#                             recent files (it needs a display)
# TANDREL_RUN_HOME=<folder> puts the prefix and the pictures there instead;
# TANDREL_RUN_NO_BUILD=1 takes the build as it is (no set-up, no build).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${TANDREL_BUILD_ROOT:-$top/build}
if [ -z "${TANDREL_RUN_NO_BUILD:-}" ]; then
  "$top/scripts/setup.sh"
  "$top/scripts/build.sh" all
fi
. "$top/scripts/wine-harness.sh"
user_display=${DISPLAY:-}
run_home=${TANDREL_RUN_HOME:-$root/wine-run}
trap harness_stop EXIT
harness_start "$run_home"
[ -n "$user_display" ] && export DISPLAY="$user_display"
bin="$root/$(harness_tree)/bin"
mode=${1:-sample}

parts=(make_sample_package.exe Setup.exe TandrelInstall.exe)
[ "$mode" = builder ] && parts+=(TandrelBuilder.exe)
[ "$mode" != builder ] && [ -z "$user_display" ] && parts+=(tour_sample.exe)
for part in "${parts[@]}"; do
  [ -f "$bin/$part" ] || { echo "run.sh: $bin/$part was not built" >&2; exit 1; }
done
# The build writes the stub's size into the Setup.exe of the builder's folder: build from
# copies, so the tree's own stub stays as built.
sample="$WINEPREFIX/drive_c/TandrelSample"
mkdir -p "$sample/builder"
for part in "${parts[@]}"; do cp "$bin/$part" "$sample/builder/"; done
echo "== building the sample package (C:\\TandrelSample\\TandrelSample.exe)"
wine 'C:\TandrelSample\builder\make_sample_package.exe' 'C:\TandrelSample' </dev/null

if [ "$mode" = builder ]; then
  wine 'C:\TandrelSample\builder\make_sample_package.exe' 'C:\TandrelSample' \
    '/RECENT=C:\TandrelSample\builder\TandrelBuilder.exe' </dev/null
  echo "== the builder's recent files begin with C:\\TandrelSample\\TandrelSample.zem"
  if [ -z "$user_display" ]; then
    echo "run.sh: the builder is for a display (DISPLAY is not set); nothing more to show here"
    exit 0
  fi
  wine 'C:\TandrelSample\builder\TandrelBuilder.exe' </dev/null
  exit 0
fi

# Shared-file counts are kept only where their key exists: the uninstaller then asks
# before it removes the sample's files of the Windows and system folders.
wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' /f >/dev/null 2>&1 </dev/null || true

if [ -z "$user_display" ]; then
  pictures="$run_home/pictures"
  rm -rf "$pictures"
  mkdir -p "$pictures"
  echo "== no display: going through the setup and the uninstaller page by page, with a picture of each"
  status=0
  wine 'C:\TandrelSample\builder\tour_sample.exe' 'C:\TandrelSample\TandrelSample.exe' \
    "$(winepath -w "$pictures" 2>/dev/null)" </dev/null || status=$?
  if [ -f "$pictures/pictures.txt" ]; then
    while IFS='|' read -r file caption; do
      [ -n "$file" ] && echo "$pictures/$file  ($caption)"
    done < <(tr -d '\r' <"$pictures/pictures.txt")
  fi
  [ $status = 0 ] || echo "run.sh: the tour did not go through (status $status)" >&2
  exit $status
fi

echo "== running its setup: $WINEPREFIX/drive_c/TandrelSample/TandrelSample.exe"
wine 'C:\TandrelSample\TandrelSample.exe' </dev/null || true
echo "== Wine's list of installed programs: choose \"Tandrel Sample\" to remove it again"
wine uninstaller </dev/null || true
