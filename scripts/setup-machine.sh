#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages.
# Safe to run again: it asks apt only for what is missing.
set -euo pipefail
packages=(
  cmake ninja-build make file python3
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  googletest libgtest-dev
  wine wine64 xvfb x11-utils imagemagick fonts-dejavu-core
  fonts-wine fonts-liberation # Wine's own Tahoma and symbols; Times New Roman, Arial, Courier New metrics
  qemu-user-static # the shipped 32-bit program runs under user-mode emulation (scripts/test-win32.sh)
  clang-14 libclang-rt-14-dev # the fuzzer: clang with libFuzzer and the sanitizers
  locales # a Cyrillic locale, under which Wine's ANSI code page is 1251 (tests/CMakeLists.txt)
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Wine takes a program's ANSI code page from the locale it runs in, which must exist.
if ! locale -a 2>/dev/null | grep -qx 'ru_RU.utf8'; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
