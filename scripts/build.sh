#!/usr/bin/env bash
# Builds the three configurations from one source tree:
#   build/native  portable script library, its tests and the authors' tools (Linux)
#   build/win64   setup.exe, STKIT432.DLL and all test programs (run under Wine)
#   build/win32   the shipped 32-bit setup.exe and STKIT432.DLL
# and assembles dist/ from the 32-bit programs and the sample product.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)
configure() { # dir, extra args...
  local dir=$1; shift
  [ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}
configure build/native
configure build/win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
configure build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DBUILD_TESTING=OFF
for d in native win64 win32; do
  echo "== building $d"
  cmake --build "build/$d" -j "$jobs"
done
"$root/scripts/make-dist.sh"
