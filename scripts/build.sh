#!/usr/bin/env bash
# Builds the native tree (portable code, sanitizers, host tools) and the Windows tree.
#   scripts/build.sh [native|win|win64|fuzz|all]
# win64 is the 64-bit build of the same sources, for machines that run only 64-bit Wine
# (see harness_arch); "all" builds it there too.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-all}
jobs=${TANDREL_JOBS:-$(nproc)}
# TANDREL_BUILD_ROOT: a build folder of its own (parallel work trees); default build/.
root=${TANDREL_BUILD_ROOT:-$top/build}
native() {
  cmake -S "$top" -B "$root/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/native" -j "$jobs"
}
windows() {  # tree toolchain
  cmake -S "$top" -B "$root/$1" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/$2.cmake" \
    -DTANDREL_HOST_BIN="$root/native/bin" >/dev/null
  cmake --build "$root/$1" -j "$jobs"
}
win() { windows win mingw-i686; }
win64() { windows win64 mingw-x86_64; }
fuzz() {
  CC=clang CXX=clang++ cmake -S "$top" -B "$root/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTANDREL_FUZZ=ON >/dev/null
  cmake --build "$root/fuzz" -j "$jobs"
}
case $what in
  native) native ;;
  win) native; win ;;
  win64) native; win64 ;;
  fuzz) fuzz ;;
  all)
    native; win
    . "$top/scripts/wine-harness.sh"
    if [ "$(harness_tree)" = win64 ]; then win64; fi ;;
  *) echo "usage: $0 [native|win|win64|fuzz|all]" >&2; exit 2 ;;
esac
