#!/usr/bin/env bash
# Builds the native tree (portable code, sanitizers, host tools) and the Windows tree.
#   scripts/build.sh [native|win|win64|fuzz|all] [TARGET...]
# win64 is the 64-bit build of the same sources, for machines that run only 64-bit Wine
# (see harness_arch); "all" builds it there too. With targets, win and win64 build only
# those and what they need, and of the native tree only the host tools (scripts/run.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-all}
targets=("${@:2}")
jobs=${TANDREL_JOBS:-$(nproc)}
# TANDREL_BUILD_ROOT: a build folder of its own (parallel work trees); default build/.
root=${TANDREL_BUILD_ROOT:-$top/build}
# What the Windows tree runs on the build machine while it builds (its picture resources).
host_tools=(make_pictures tcompress_pack)
native() {
  cmake -S "$top" -B "$root/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$root/native" -j "$jobs" --target "${host_tools[@]}"
  else
    cmake --build "$root/native" -j "$jobs"
  fi
}
windows() {  # tree toolchain
  cmake -S "$top" -B "$root/$1" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/$2.cmake" \
    -DTANDREL_HOST_BIN="$root/native/bin" >/dev/null
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$root/$1" -j "$jobs" --target "${targets[@]}"
  else
    cmake --build "$root/$1" -j "$jobs"
  fi
}
win() { windows win mingw-i686; }
win64() { windows win64 mingw-x86_64; }
fuzz() {
  # TANDREL_FUZZ_RUNS: libFuzzer runs per target in the tree's tests.
  CC=clang CXX=clang++ cmake -S "$top" -B "$root/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTANDREL_FUZZ=ON -DTANDREL_FUZZ_RUNS="${TANDREL_FUZZ_RUNS:-200000}" >/dev/null
  cmake --build "$root/fuzz" -j "$jobs"
}
if [ ${#targets[@]} -gt 0 ] && [ "$what" != win ] && [ "$what" != win64 ]; then
  echo "$0: targets are for win and win64 only" >&2; exit 2
fi
case $what in
  native) native ;;
  win) native; win ;;
  win64) native; win64 ;;
  fuzz) fuzz ;;
  all)
    native; win
    . "$top/scripts/wine-harness.sh"
    if [ "$(harness_tree)" = win64 ]; then win64; fi ;;
  *) echo "usage: $0 [native|win|win64|fuzz|all] [TARGET...]" >&2; exit 2 ;;
esac
