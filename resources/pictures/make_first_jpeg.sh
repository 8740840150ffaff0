#!/usr/bin/env bash
# Remakes first.jpg, the main window's JPEG picture, from the drawing tool's first.ppm.
#   resources/pictures/make_first_jpeg.sh <native build>/bin/make_pictures
# Kept as a file because JPEG encoders differ in their output between versions.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$1" "$tmp"
convert "$tmp/first.ppm" -strip -quality 90 -sampling-factor 1x1 "$here/first.jpg"
ls -l "$here/first.jpg"
