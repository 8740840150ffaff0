#!/usr/bin/env bash
# Builds the native tree (portable code, sanitizers, host tools) and the Windows tree.
#   scripts/build.sh [native|win|fuzz|all]
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
win() {
  cmake -S "$top" -B "$root/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
    -DTANDREL_HOST_BIN="$root/native/bin" >/dev/null
  cmake --build "$root/win" -j "$jobs"
}
fuzz() {
  CC=clang CXX=clang++ cmake -S "$top" -B "$root/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTANDREL_FUZZ=ON >/dev/null
  cmake --build "$root/fuzz" -j "$jobs"
}
case $what in
  native) native ;;
  win) native; win ;;
  fuzz) fuzz ;;
  all) native; win ;;
  *) echo "usage: $0 [native|win|fuzz|all]" >&2; exit 2 ;;
esac
