#!/usr/bin/env bash
# Side by side with NSIS: three file sets (a: 35 MB of programs and texts; b: 1,000 texts
# of 0.5-4 KB; c: one 32 MB program) built with this system and with makensis (zlib,
# bzip2, lzma, solid lzma) on this machine, and installed under a Wine prefix and display
# of the benchmark's own: ours through its wizard, NSIS silently. Medians of 5.
#   bench/peer_bench.sh [--quick]     (--quick: one run each)
# Installs Debian's nsis when makensis is missing. TANDREL_BUILD_ROOT as in build.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${TANDREL_BUILD_ROOT:-$top/build}
runs=5
[ "${1:-}" = --quick ] && runs=1
. "$top/scripts/wine-harness.sh"

if ! command -v makensis >/dev/null; then
  sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get install -y nsis >/dev/null
fi
tree=$(harness_tree)
case $(harness_arch) in
  win64) target=amd64-unicode ;;
  *) target=x86-unicode ;;
esac
# The build half in a tree without sanitizers; the install half in the Windows tree.
cmake -S "$top" -B "$root/bench-native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTANDREL_SANITIZE=OFF >/dev/null
cmake --build "$root/bench-native" --target peer_build >/dev/null
cmake --build "$root/$tree" --target peer_install TandrelInstall tandrel_stub >/dev/null

work=$root/peer-bench
rm -rf "$work"
mkdir -p "$work/builder" "$work/out"
cp "$root/$tree/bin/Setup.exe" "$root/$tree/bin/TandrelInstall.exe" "$work/builder/"
"$root/bench-native/bin/peer_build" sets "$work/sets"

median() { sort -n | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
now() { date +%s.%N; }
winpath() { local p=${1//\//\\}; echo "Z:$p"; }
declare -A build size install
compressors=("zlib" "bzip2" "lzma" "/SOLID lzma")
tag() { echo "${1/\/SOLID /solid_}"; }
for set in a b c; do
  read -r cold warm bytes < <("$root/bench-native/bin/peer_build" build "$work/builder" "$work/sets/$set" \
    "$work/out/ours_$set.exe" "$runs")
  build[ours,$set]="$cold $warm" size[ours,$set]=$bytes
  for c in "${compressors[@]}"; do
    t=$(tag "$c")
    cat >"$work/out/nsis_${set}_$t.nsi" <<NSI
Unicode true
Target $target
SetCompressor $c
Name "Peer NSIS"
OutFile "nsis_${set}_$t.exe"
InstallDir "\$PROGRAMFILES\\Peer NSIS"
RequestExecutionLevel user
Section
  SetOutPath "\$INSTDIR"
  File /r "$work/sets/$set/*"
  WriteUninstaller "\$INSTDIR\\uninstall.exe"
SectionEnd
Section Uninstall
  RMDir /r "\$INSTDIR"
SectionEnd
NSI
    times=()
    for _ in $(seq "$runs"); do
      t0=$(now)
      (cd "$work/out" && makensis -V1 "nsis_${set}_$t.nsi" >/dev/null)
      times+=("$(echo "$(now) - $t0" | bc)")
    done
    build[$t,$set]=$(printf '%s\n' "${times[@]}" | median | xargs printf '%.3f')
    size[$t,$set]=$(stat -c %s "$work/out/nsis_${set}_$t.exe")
  done
done

trap harness_stop EXIT
harness_start "$root/peer-wine"
for set in a b c; do
  args=()
  for c in "${compressors[@]}"; do args+=("$(winpath "$work/out/nsis_${set}_$(tag "$c").exe")"); done
  while read -r name secs whole; do
    case $name in
      ours_*) install[ours,$set]="$secs $whole" ;;
      nsis_*) t=${name#nsis_${set}_}; install[${t%.exe},$set]=$secs ;;
    esac
  done < <(wine "$root/$tree/bin/peer_install.exe" "$runs" "$(winpath "$work/out/ours_$set.exe")" \
    "Peer $set" "${args[@]}" 2>"$work/install_$set.log" | tr -d '\r')
done

echo "load (/proc/loadavg) at the end: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores; $runs runs each, medians"
echo "NSIS target $target; our programs from build/$tree; the build half natively"
printf '%-3s %-16s %10s %10s %12s %10s %10s\n' set installer "build s" "warm s" "package B" "install s" "whole s"
for set in a b c; do
  read -r cold warm <<<"${build[ours,$set]}"
  read -r secs whole <<<"${install[ours,$set]:-- -}"
  printf '%-3s %-16s %10s %10s %12s %10s %10s\n' "$set" ours "$cold" "$warm" "${size[ours,$set]}" "$secs" "$whole"
  for c in "${compressors[@]}"; do
    t=$(tag "$c")
    printf '%-3s %-16s %10s %10s %12s %10s %10s\n' "$set" "nsis $t" "${build[$t,$set]}" - "${size[$t,$set]}" \
      "${install[$t,$set]:--}" -
  done
  read -r zb <<<"${build[zlib,$set]}"
  awk -v ob="$cold" -v ow="$warm" -v zb="$zb" -v os="${size[ours,$set]}" -v zs="${size[zlib,$set]}" \
    -v oi="$secs" -v zi="${install[zlib,$set]:-0}" -v s="$set" 'BEGIN {
      printf "%-3s ours / nsis zlib: build %.2f (warm %.2f), size %.2f, install %.2f\n", s, ob/zb, ow/zb, os/zs,
        (zi > 0 ? oi/zi : 0) }'
done
