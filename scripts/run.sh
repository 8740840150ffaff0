#!/usr/bin/env bash
# Sets up the machine, builds, and starts the main program under Wine on the
# user's display (an Xvfb display of its own when there is none).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" all
. "$top/scripts/wine-harness.sh"
user_display=${DISPLAY:-}
trap harness_stop EXIT
harness_start "$top/build/wine-run"
[ -n "$user_display" ] && export DISPLAY="$user_display"
for prog in TandrelBuilder.exe TandrelInstall.exe; do
  if [ -f "$top/build/win/bin/$prog" ]; then
    exec_prog="$top/build/win/bin/$prog"
    break
  fi
done
if [ -n "${exec_prog:-}" ]; then
  wine "$exec_prog" "$@"
else
  # No windowed program yet: run the Windows self-checks of what stands.
  ( cd "$top/build/win" && ctest -j "$(nproc)" --output-on-failure )
fi
