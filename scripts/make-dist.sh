#!/usr/bin/env bash
# dist/: what a product author ships, here with the sample product:
# the 32-bit setup.exe and STKIT432.DLL, setup.ini and the product's files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$root/dist"
mkdir -p "$root/dist"
cp "$root/build/win32/bin/setup.exe" "$root/build/win32/bin/STKIT432.DLL" "$root/dist/"
if [ -d "$root/examples/sample" ]; then
  cp -r "$root/examples/sample/." "$root/dist/"
  rm -f "$root/dist/README.md"
  # The sample installs a font; it comes from the build machine rather than the repository.
  cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$root/dist/"
fi
echo "dist/ ready: $(ls "$root/dist" | tr '\n' ' ')"
