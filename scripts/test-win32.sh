#!/usr/bin/env bash
# The shipped program, run: the 32-bit setup.exe and STKIT432.DLL of dist/ under Debian's
# i386 Wine, emulated by qemu (scripts/wine32-env.sh), in a mixed 64-bit prefix.
#
#   1. side by side: the sample product installed through its wizard; the Kavex Bits script
#      (tests/win32/bits), whose readings and system calls are the ones where a 32-bit and
#      a 64-bit build can differ; the toolkit library called by a 32-bit program;
#   2. the sample's registered uninstall command, run as the list of installed programs
#      runs it.
# Four 32-bit process starts in all: each costs one to two minutes of emulation before its
# first window, then the program runs at nearly normal speed. The wizards are clicked by
# the 64-bit kvdrive; every wait is for a state (a window, a process's end), never for a
# time. Prints PASS/FAIL lines and exits non-zero on any failure.
# The checks are in tests/win32/checks.sh.
#   scripts/test-win32.sh [BUILD]   BUILD: the build folder holding win32/ and win64/
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
here=$root/tests/win32
source "$root/scripts/wine-env.sh"
source "$root/scripts/wine32-env.sh"

failed=0
pass() { echo "PASS  $*"; }
fail() {
  echo "FAIL  $*"
  failed=1
}
# expect WHAT EXPECTED ACTUAL
expect() {
  if [ "$2" == "$3" ]; then pass "$1: $3"; else fail "$1: expected \"$2\", got \"$3\""; fi
}

for f in "$root/dist/setup.exe" "$root/dist/STKIT432.DLL" "$build/win32/bin/toolkit_caller.exe" \
  "$build/win32/bin/verfile_v1.dll" "$build/win64/bin/kvdrive.exe" "$build/win64/bin/kvidle.exe"; do
  [ -f "$f" ] || { echo "missing $f: build first (scripts/build.sh)" >&2; exit 1; }
done
kv32_prepare || exit 1
kv32_prefix "$build/wine32-test"
kv_start_display || exit 1
small=$build/smalldrive32
cleanup() {
  kv_wine_stop
  mountpoint -q "$small" && umount "$small"
}
trap cleanup EXIT

# --- the distributions, as an author ships them -------------------------------------------
c=$WINEPREFIX/drive_c
mkdir -p "$c/kv32/sample" "$c/kv32/bits" "$c/kv32/toolkit"
cp -r "$root/dist/." "$c/kv32/sample/"
cp "$root/dist/setup.exe" "$root/dist/STKIT432.DLL" "$here/bits/setup.ini" "$here/bits/plain.txt" \
  "$build/win32/bin/verfile_v1.dll" "$build/win32/bin/verfile_v3.dll" "$c/kv32/bits/"
cp "$build/win32/bin/toolkit_caller.exe" "$root/dist/STKIT432.DLL" "$c/kv32/toolkit/"
cp "$build/win64/bin/kvdrive.exe" "$build/win64/bin/kvidle.exe" "$c/kv32/"
# Kavex Bits installs over an earlier state: an older and a newer versioned file, and files
# for its kill list.
bitsdir="$c/Program Files (x86)/Kavex Bits"
mkdir -p "$bitsdir"
cp "$build/win32/bin/verfile_v1.dll" "$bitsdir/newer.dll"
cp "$build/win32/bin/verfile_v3.dll" "$bitsdir/older.dll"
for f in stale1.log stale2.log gone.tmp kept.tmp; do echo "$f" >"$bitsdir/$f"; done
kv_small_drive "$small" || exit 1 # D:, for a free-space count below the cap

# Wine's desktop process stays up between the programs (it would stall the next one).
kv32_wine 'C:\kv32\kvidle.exe' >/dev/null 2>&1 &

# --- 1. three 32-bit programs side by side ---------------------------------------------------
# A second copy of setup.exe refuses to run beside the first unless told "ignoreprev": Kavex
# Bits is started with that word once the sample's setup shows its wizard (and so holds the
# mark of a running copy); the sample's own run is as a user starts it.
logs=$build/wine32-logs
rm -rf "$logs" && mkdir -p "$logs"
start=$SECONDS
kv32_wine 'C:\kv32\kvdrive.exe' install 'C:\kv32\sample\setup.exe' \
  --decline 'Would you like to read the readme file now?' >"$logs/sample-install.txt" 2>&1 &
sample=$!
(cd "$c/kv32/toolkit" && kv32_wine 'C:\kv32\toolkit\toolkit_caller.exe' 'C:\kv32\toolkit\STKIT432.DLL' 'D:\') \
  >"$logs/toolkit.txt" 2>&1 &
toolkit=$!
# kvdrive writes "wizard: Next" when it clicks on the first screen; it ends within ten minutes.
while kill -0 $sample 2>/dev/null && ! grep -q '^wizard: Next' "$logs/sample-install.txt"; do sleep 1; done
echo "(the sample's wizard after $((SECONDS - start)) s; Kavex Bits starts)"
kv32_wine 'C:\kv32\kvdrive.exe' install 'C:\kv32\bits\setup.exe' --words ignoreprev >"$logs/bits-install.txt" 2>&1 &
bits=$!
wait $sample && pass "the sample's wizard was driven to its end" || fail "the sample's wizard (see $logs/sample-install.txt)"
wait $bits && pass "the Kavex Bits wizard was driven to its end" || fail "the Kavex Bits wizard (see $logs/bits-install.txt)"
expect "the sample's installation" "the setup ended after Finish with exit code 0" \
  "$(grep -a '^the setup ended' "$logs/sample-install.txt" | tr -d '\r')"
wait $toolkit
toolkit_rc=$?
grep -E '^(PASS|FAIL)' "$logs/toolkit.txt"
if ! grep -Eq '^[0-9]+ failed' "$logs/toolkit.txt"; then
  fail "the toolkit caller did not finish (exit code $toolkit_rc; see $logs/toolkit.txt)"
elif [ "$toolkit_rc" -ne 0 ]; then
  failed=1
fi
echo "(three 32-bit programs: $((SECONDS - start)) s)"
source "$here/checks.sh"
check_sample_installed
check_bits_installed

# --- 2. the sample's registered uninstall command -------------------------------------------
uninstall=$(reg_value 32 "$uninstall_key" UninstallString)
start=$SECONDS
(cd "$c" && kv32_wine 'C:\kv32\kvdrive.exe' run "$uninstall") >"$logs/sample-uninstall.txt" 2>&1 &&
  pass "the uninstall command ran to its end" || fail "the uninstall command (see $logs/sample-uninstall.txt)"
expect "the uninstall command" "the program ended with exit code 0" \
  "$(grep -a '^the program ended' "$logs/sample-uninstall.txt" | tr -d '\r')"
echo "(the uninstall: $((SECONDS - start)) s)"
check_sample_uninstalled

if [ "$failed" -ne 0 ]; then
  echo "the 32-bit stage FAILED ($SECONDS s); the drivers' logs are in $logs"
  exit 1
fi
echo "the 32-bit stage passed ($SECONDS s)"
