#!/usr/bin/env bash
# scripts/run.sh on a machine without a display, as a newcomer runs it: it must end by
# itself and leave one picture per window it went through, each holding the caption its
# window showed, and print their paths.
#   run_headless_test.sh BUILD_ROOT           the sample's setup page by page, then its
#                                             uninstaller
#   run_headless_test.sh BUILD_ROOT builder   the builder's main window and section
#                                             editors, page by page; the sample project
#                                             first in its recent files, and unchanged
set -eu
root=$1
mode=${2:-sample}
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tandrel_run.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
# The harness's prefix template spares run.sh a first start of Wine.
template=${TANDREL_WINE_HARNESS:-}/template
run() {
  local home=$1; shift
  mkdir -p "$home"
  [ -f "$template/.ready" ] && [ ! -d "$home/template" ] && cp -a "$template" "$home/template"
  env -u DISPLAY -u WINEPREFIX TANDREL_BUILD_ROOT="$root" TANDREL_RUN_HOME="$home" TANDREL_RUN_NO_BUILD=1 \
    bash "$top/scripts/run.sh" "$@" </dev/null
}

# check_pictures FOLDER OUTPUT EXPECTED: every picture of FOLDER's list is a PNG that
# decodes, is not blank, holds the caption its window showed and had its path printed in
# OUTPUT; the captions are EXPECTED, one a line (a copy progress caught by the way aside).
check_pictures() {
  local pictures=$1 out=$2 expected=$3 captions="" file caption png title colours
  [ -f "$pictures/pictures.txt" ] || fail "no list of pictures"
  while IFS='|' read -r file caption; do
    [ -n "$file" ] || continue
    png="$pictures/$file"
    [ -f "$png" ] || fail "missing picture $png"
    echo "$out" | grep -qF "$png" || fail "the path of $png was not printed"
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
    title=$(identify -format '%[Title]' "$png" 2>/dev/null) || fail "$png does not decode"
    [ "$title" = "$caption" ] || fail "$png holds the caption \"$title\", its window showed \"$caption\""
    colours=$(identify -format '%k' "$png")
    [ "$colours" -gt 8 ] || fail "$png is nearly blank ($colours colours)"
    # The copy progress is pictured when it is caught; it is no page of its own.
    case $caption in Copying:*) continue ;; esac
    captions+="$caption"$'\n'
  done < <(tr -d '\r' <"$pictures/pictures.txt")
  [ "${captions%$'\n'}" = "$expected" ] || fail "pictures of:
$captions
expected:
$expected"
  echo "== $(echo "$expected" | wc -l) pictures, each with its window's caption"
}

start=$(date +%s)
if [ "$mode" = sample ]; then
  out=$(run "$work/sample" 2>&1) || { echo "$out"; fail "run.sh did not go through"; }
  echo "$out"
  echo "== run.sh took $(( $(date +%s) - start )) s"
  check_pictures "$work/sample/pictures" "$out" "Welcome
Software License Agreement
Product Information
User Information
Choose Destination Directory
Install Type
Select Components
Select Program Folder
Start Copying Files
Setup Complete
Tandrel-Uninstaller"
  exit 0
fi

out=$(run "$work/builder" builder 2>&1) || { echo "$out"; fail "run.sh builder did not go through"; }
echo "$out"
echo "== run.sh builder took $(( $(date +%s) - start )) s"
check_pictures "$work/builder/builder-pictures" "$out" "Tandrel-Install Configuration Builder - TandrelSample.zem
General - Application Information
Screen - Screen Settings
Files/Groups - File Groups
Files/Groups - Components
Files/Groups - Installation Types
Dialogs - General
Dialogs - Dialogs - Welcome Message
Dialogs - Dialogs - Software License Agreement
Dialogs - Dialogs - Readme Information
Dialogs - Dialogs - User Information
Dialogs - Dialogs - Choose Destination Location
Dialogs - Dialogs - Setup Type
Dialogs - Dialogs - Custom Setup
Dialogs - Dialogs - Select Program Folder
Dialogs - Dialogs - Start Copying Files
Dialogs - Dialogs - Progress Indicator
Dialogs - Dialogs - Billboards
Dialogs - Dialogs - Setup Complete
Dialogs - Extensions
Program Manager Icons - Icons
Ini Files - Ini Files
Registry Settings - Registry"
mru=$(WINEPREFIX="$work/builder/prefix" HOME="$work/builder/home" WINEDEBUG=-all \
  wine reg query 'HKCU\Software\Tandrel\Tandrel-Install\1.0\Settings' /v 'Tandrel-Install MRU' 2>/dev/null </dev/null | tr -d '\r')
WINEPREFIX="$work/builder/prefix" wineserver -k >/dev/null 2>&1 || true
echo "$mru" | grep -qF 'C:\TandrelSample\TandrelSample.zem' || fail "the recent files hold: $mru"
echo "== all pictures and the recent file are there"
