#!/usr/bin/env bash
# Sets up the machine, builds what it runs, makes a sample setup package and runs its
# setup under Wine. Everything runs in a Wine prefix of the build's own
# (build/wine-run/prefix, fresh each time), never in the user's own prefix.
#   scripts/run.sh            with a display: the sample package's setup, then Wine's list
#                             of installed programs, where the sample can be removed again;
#                             without one: the setup and the uninstaller are gone through
#                             page by page on a display of their own, a PNG of each page is
#                             saved under build/wine-run/pictures/ and the run ends
#   scripts/run.sh builder    the builder instead, with the sample project first in its
#                             recent files; without a display the builder opens the sample,
#                             its main window and section editors are pictured page by page
#                             under build/wine-run/builder-pictures/ and it closes unsaved
# TANDREL_RUN_HOME=<folder> puts the prefix and the pictures there instead;
# TANDREL_RUN_NO_BUILD=1 takes the build as it is (no set-up, no build).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${TANDREL_BUILD_ROOT:-$top/build}
. "$top/scripts/wine-harness.sh"
user_display=${DISPLAY:-}
mode=${1:-sample}

parts=(make_sample_package.exe Setup.exe TandrelInstall.exe)
[ "$mode" = builder ] && parts+=(TandrelBuilder.exe)
[ -z "$user_display" ] && { [ "$mode" = builder ] && parts+=(tour_builder.exe) || parts+=(tour_sample.exe); }
if [ -z "${TANDREL_RUN_NO_BUILD:-}" ]; then
  "$top/scripts/setup.sh"
  # Only what runs here; the tests are the test command's.
  "$top/scripts/build.sh" "$(harness_tree)" TandrelBuilder TandrelInstall tandrel_stub make_sample_package \
    tour_sample tour_builder
fi
run_home=${TANDREL_RUN_HOME:-$root/wine-run}
trap harness_stop EXIT
harness_start "$run_home"
[ -n "$user_display" ] && export DISPLAY="$user_display"
bin="$root/$(harness_tree)/bin"

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

# tour NAME ARGS...: runs C:\TandrelSample\builder\NAME.exe ARGS... PICTURES on the run's
# own display, with the pictures in $run_home/$pictures_name, and prints their paths.
tour() {
  local name=$1 pictures="$run_home/$pictures_name" status=0
  shift
  rm -rf "$pictures"
  mkdir -p "$pictures"
  wine "C:\\TandrelSample\\builder\\$name.exe" "$@" "$(winepath -w "$pictures" 2>/dev/null)" </dev/null || status=$?
  if [ -f "$pictures/pictures.txt" ]; then
    while IFS='|' read -r file caption; do
      [ -n "$file" ] && echo "$pictures/$file  ($caption)"
    done < <(tr -d '\r' <"$pictures/pictures.txt")
  fi
  [ $status = 0 ] || echo "run.sh: the tour did not go through (status $status)" >&2
  return $status
}

if [ "$mode" = builder ]; then
  wine 'C:\TandrelSample\builder\make_sample_package.exe' 'C:\TandrelSample' \
    '/RECENT=C:\TandrelSample\builder\TandrelBuilder.exe' </dev/null
  echo "== the builder's recent files begin with C:\\TandrelSample\\TandrelSample.zem"
  if [ -z "$user_display" ]; then
    echo "== no display: the builder opens the sample; its main window and section editors, with a picture of each"
    pictures_name=builder-pictures
    tour tour_builder 'C:\TandrelSample\builder\TandrelBuilder.exe' 'C:\TandrelSample\TandrelSample.zem'
    exit
  fi
  wine 'C:\TandrelSample\builder\TandrelBuilder.exe' </dev/null
  exit 0
fi

# Shared-file counts are kept only where their key exists: the uninstaller then asks
# before it removes the sample's files of the Windows and system folders.
wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' /f >/dev/null 2>&1 </dev/null || true

if [ -z "$user_display" ]; then
  echo "== no display: going through the setup and the uninstaller page by page, with a picture of each"
  pictures_name=pictures
  tour tour_sample 'C:\TandrelSample\TandrelSample.exe'
  exit
fi

echo "== running its setup: $WINEPREFIX/drive_c/TandrelSample/TandrelSample.exe"
wine 'C:\TandrelSample\TandrelSample.exe' </dev/null || true
echo "== Wine's list of installed programs: choose \"Tandrel Sample\" to remove it again"
wine uninstaller </dev/null || true
