#!/usr/bin/env bash
# CTest's emulator for the 64-bit Windows test programs. It copies the build's
# programs into the prefix's C: drive (C:\kvtest\bin) and runs the test there, so
# that every path the program sees is an ordinary Windows path.
set -euo pipefail
exe=$1; shift
: "${WINEPREFIX:?WINEPREFIX must name the test prefix (scripts/test.sh sets it)}"
bindir=$(dirname "$exe")
dest="$WINEPREFIX/drive_c/kvtest/bin"
mkdir -p "$dest"
cp -u "$bindir"/*.exe "$bindir"/*.DLL "$bindir"/*.dll "$dest"/ 2>/dev/null || true
[ -d "$bindir/data" ] && cp -ru "$bindir/data" "$dest/" || true
exec wine "C:\\kvtest\\bin\\$(basename "$exe")" "$@"
