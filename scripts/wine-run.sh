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
# The output goes through a file: programs that a test starts (and Wine's own helpers)
# inherit the output handles, and a pipe held open by them would keep CTest waiting.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
rc=0
wine "C:\\kvtest\\bin\\$(basename "$exe")" "$@" >"$log" 2>&1 </dev/null || rc=$?
cat "$log"
# A program that ends badly before it says anything leaves at least its exit code.
[ "$rc" -eq 0 ] || echo "wine-run: $(basename "$exe") $* ended with exit code $rc" >&2
exit $rc
