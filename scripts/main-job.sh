#!/usr/bin/env bash
# The main job: set up the machine, build everything, assemble dist/ (the shipped
# 32-bit setup.exe and STKIT432.DLL with the sample product), then install the sample
# product with the 64-bit twin under Wine and print what was installed.
#   Before installing, setupcheck checks the sample's script as setup.exe reads it; an
#   error stops the job, warnings are shown.
#   With a working X display (DISPLAY set), the wizard opens there for you to click
#   through. Without one, it runs on a private Xvfb display and is driven through the
#   wizard automatically, and a screenshot of every screen and message it passes is
#   saved under out/main-job/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup-machine.sh"
"$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
prefix=${KV_PREFIX:-$root/build/wine-sample}
kv_wine_prefix "$prefix"
interactive=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then interactive=1; fi
kv_start_display
trap kv_wine_stop EXIT
# The distribution as the user gets it, with the 64-bit twin of the programs.
dist="$WINEPREFIX/drive_c/sample-dist"
mkdir -p "$dist"
cp -r "$root/dist/." "$dist/"
cp "$root/build/win64/bin/setup.exe" "$root/build/win64/bin/STKIT432.DLL" "$dist/"
cp "$WINEPREFIX/drive_c/windows/system32/regsvr32.exe" "$dist/" 2>/dev/null || true
cp "$root/build/win64/bin/kvdrive.exe" "$WINEPREFIX/drive_c/"
echo "== setupcheck: the sample's script as setup.exe reads it"
check=0
"$root/build/native/tools/setupcheck" "$dist" || check=$?
if [ "$check" -ge 2 ]; then
  echo "setupcheck found errors in the sample's script; not installing it." >&2
  exit 1
fi
[ "$check" -eq 0 ] && echo "no findings"
echo
shots=""
if [ "$interactive" -eq 1 ]; then
  echo "Starting the sample product's setup on $DISPLAY; click through the wizard."
  (cd "$dist" && wine 'C:\sample-dist\setup.exe')
else
  echo "No display: installing the sample product on Xvfb ($DISPLAY), driven automatically."
  rm -rf "$WINEPREFIX/drive_c/main-job-shots" "$root/out/main-job"
  driven=0
  wine 'C:\kvdrive.exe' install 'C:\sample-dist\setup.exe' 'C:\main-job-shots' || driven=$?
  mkdir -p "$root/out/main-job"
  cp "$WINEPREFIX"/drive_c/main-job-shots/*.bmp "$root/out/main-job/" 2>/dev/null || true
  kv_shots_to_png "$root/out/main-job" || true
  shots=$(ls "$root/out/main-job" | wc -l)
  [ "$driven" -eq 0 ] || { echo "the wizard could not be driven to its end; see out/main-job/" >&2; exit 1; }
fi
wineserver -w || true
echo
echo "== What was installed"
wine 'C:\kvdrive.exe' report 'C:\sample-dist\setup.ini' 2>/dev/null || true
if [ -n "$shots" ]; then
  echo
  echo "== What the end user saw: $shots screenshots of the wizard's screens and messages, in order,"
  echo "   in $root/out/main-job/"
fi
