#!/usr/bin/env bash
# Installs everything the builds and tests need on Debian 12. Safe to run again.
set -euo pipefail
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386; need_update=1
fi
# deb-src entry for the libjpeg-turbo source package
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  $SUDO tee /etc/apt/sources.list.d/tandrel-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

PKGS=(build-essential cmake ninja-build pkg-config dpkg-dev
      g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools mingw-w64-i686-dev
      g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
      wine wine32:i386 wine64 libwine-dev fonts-wine xvfb x11-utils
      googletest libgtest-dev clang libclang-rt-14-dev
      liblhasa-dev lhasa jlha-utils fp-compiler fp-units-fcl nasm imagemagick)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || [ $need_update = 1 ]; then
  $SUDO apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# libjpeg-turbo source, unpacked once under third_party (ignored by git)
top=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$top/third_party/libjpeg-turbo/CMakeLists.txt" ]; then
  mkdir -p "$top/third_party/src"
  ( cd "$top/third_party/src" && apt-get source --download-only -qq libjpeg-turbo )
  dsc=$(ls "$top"/third_party/src/libjpeg-turbo_*.dsc | head -n1)
  rm -rf "$top/third_party/libjpeg-turbo"
  dpkg-source --no-check -x "$dsc" "$top/third_party/libjpeg-turbo" >/dev/null
fi
