#!/usr/bin/env bash
# Runs every test: the portable tests natively, the static checks of the shipped
# 32-bit program, the unit and end-to-end tests of the 64-bit twin under Wine on an X
# display, in a fresh Wine prefix, and the shipped 32-bit program itself, run under
# emulation. Exits non-zero when any test fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup-machine.sh" || exit 1
"$root/scripts/build.sh" || exit 1

failed=0
echo "== static checks of the 32-bit build"
"$root/tests/static/check-win32.sh" build/win32/bin || failed=1

echo "== native tests"
ctest --test-dir build/native --output-on-failure || failed=1

echo "== fuzzing the script layer (one minute)"
"$root/scripts/fuzz.sh" || failed=1

echo "== tests under Wine"
source "$root/scripts/wine-env.sh"
kv_wine_prefix "$root/build/wine-test"
kv_start_display || exit 1
trap kv_wine_stop EXIT
small="$root/build/smalldrive"
kv_small_drive "$small" || exit 1
# E: fills during an installation: room for the 64-bit program and library of the Setup
# folder and about a third of the product (tests/e2e/interrupted_test.cpp).
full="$root/build/fulldrive"
setup_kb=$(( ($(stat -c %s build/win64/bin/setup.exe) + $(stat -c %s build/win64/bin/STKIT432.DLL)) / 1024 ))
kv_small_drive "$full" e "$((setup_kb + 1024))k" || exit 1
# One small windowed program of ours kept alive for the whole run, so that Wine's
# desktop process does not quit and restart between tests.
mkdir -p "$WINEPREFIX/drive_c/kvtest"
cp build/win64/bin/kvidle.exe "$WINEPREFIX/drive_c/kvtest/"
wine 'C:\kvtest\kvidle.exe' >/dev/null 2>&1 &
ctest --test-dir build/win64 --output-on-failure ${KV_CTEST_ARGS:-} || failed=1
echo "== the sample product, by its wizard and unattended"
"$root/tests/e2e/sample_unattended.sh" || failed=1
mkdir -p out
rm -rf out/screenshots
# The end-to-end tests write BMP files; they are kept as opaque PNG.
[ -d "$WINEPREFIX/drive_c/kvtest/shots" ] && cp -r "$WINEPREFIX/drive_c/kvtest/shots" out/screenshots
echo "== layout of every window at 144 and 96 DPI (screenshots in out/screenshots/dpi*)"
for dpi in 144 96; do # Wine reads the resolution when a program starts; 96 is left set
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
  timeout 600 "$root/scripts/wine-run.sh" build/win64/bin/layout_check.exe $dpi "C:\\kvtest\\layout\\dpi$dpi" || failed=1
  mkdir -p out/screenshots && cp -r "$WINEPREFIX/drive_c/kvtest/layout/dpi$dpi" out/screenshots/
done
kv_shots_to_png out/screenshots || failed=1
rm -f "$WINEPREFIX/dosdevices/d:" "$WINEPREFIX/dosdevices/e:"
umount "$small" "$full"
wineserver -k >/dev/null 2>&1
echo "== the shipped 32-bit program, run under emulation (scripts/test-win32.sh)"
"$root/scripts/test-win32.sh" "$root/build" || failed=1
if [ "$failed" -ne 0 ]; then
  echo "SOME TESTS FAILED"
  exit 1
fi
echo "ALL TESTS PASSED"
