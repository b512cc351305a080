#!/usr/bin/env bash
# The main job: set up the machine, build everything, assemble dist/ (the shipped
# 32-bit setup.exe and STKIT432.DLL with the sample product), then install the sample
# product with the 64-bit twin under Wine and print what was installed.
#   With a working X display (DISPLAY set), the wizard opens there for you to click
#   through. Without one, it runs on a private Xvfb display and is driven through the
#   wizard automatically.
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
if [ "$interactive" -eq 1 ]; then
  echo "Starting the sample product's setup on $DISPLAY; click through the wizard."
  (cd "$dist" && wine 'C:\sample-dist\setup.exe')
else
  echo "No display: installing the sample product on Xvfb ($DISPLAY), driven automatically."
  wine 'C:\kvdrive.exe' install 'C:\sample-dist\setup.exe'
fi
wineserver -w || true
echo
echo "== What was installed"
wine 'C:\kvdrive.exe' report 'C:\sample-dist\setup.ini' 2>/dev/null || true
