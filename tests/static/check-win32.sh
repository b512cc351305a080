#!/usr/bin/env bash
# Static checks of the shipped 32-bit build, which this machine cannot run:
# PE types, subsystems, the toolkit library's exported names, no runtime DLLs, and the
# size limits of the two shipped files.
set -uo pipefail
bin=${1:?folder of the 32-bit programs}
fail=0
check() { # description, command...
  local what=$1; shift
  if "$@"; then echo "PASS  $what"; else echo "FAIL  $what"; fail=1; fi
}
# A missing file fails here too ("cannot open").
desc_exe=$(file -b "$bin/setup.exe" 2>&1)
desc_dll=$(file -b "$bin/STKIT432.DLL" 2>&1)
check "setup.exe is a PE32 i386 GUI program (got: $desc_exe)" grep -q '^PE32 executable (GUI) Intel 80386' <<<"$desc_exe"
check "STKIT432.DLL is a PE32 i386 DLL (got: $desc_dll)" \
  grep -Eq '^PE32 executable \(DLL\) \((GUI|console)\) Intel 80386' <<<"$desc_dll"
# The export table's names: the lines after "[Ordinal/Name Pointer] Table" up to the
# next empty line ("\t[   0] DISKSPACEFREE"). Plain POSIX classes: the system's awk
# may be mawk, which knows no \s.
exports=$(i686-w64-mingw32-objdump -p "$bin/STKIT432.DLL" 2>/dev/null |
  awk '/\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^[[:space:]]*\[/{print $NF} t&&/^[[:space:]]*$/{t=0}' |
  sort | tr '\n' ' ')
check "STKIT432.DLL exports exactly the four toolkit functions, undecorated (got: $exports)" \
  test "$exports" = "DISKSPACEFREE fCreateShellFolder fCreateShellLink fRemoveShellLink "
for f in setup.exe STKIT432.DLL; do
  deps=$(i686-w64-mingw32-objdump -p "$bin/$f" 2>/dev/null | awk '/DLL Name:/{print tolower($3)}' | sort -u | tr '\n' ' ')
  bad=$(tr ' ' '\n' <<<"$deps" | grep -Ev '^$|^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|version|msvcrt|shlwapi)\.dll$' | tr '\n' ' ')
  # An empty import list means the file could not be read: every program needs kernel32.
  check "$f needs only system DLLs (imports: $deps)" test -n "$deps" -a -z "$bad"
done
# Size limits of the shipped files, which are size-optimised and stripped builds: no
# symbol table, and only the sections the linker makes (an executable packer brings its
# own, such as UPX0).
for limit in setup.exe:1048576 STKIT432.DLL:65536; do
  f=${limit%%:*} most=${limit#*:}
  size=$(stat -c %s "$bin/$f" 2>/dev/null) || size="no file"
  check "$f is at most $most bytes (got: $size)" \
    awk -v size="$size" -v most="$most" 'BEGIN { exit !(size ~ /^[0-9]+$/ && size + 0 <= most + 0) }'
  symbols=$(i686-w64-mingw32-nm "$bin/$f" 2>&1 | head -1)
  check "$f has no symbol table (got: $symbols)" grep -q 'no symbols$' <<<"$symbols"
  sections=$(i686-w64-mingw32-objdump -h "$bin/$f" 2>/dev/null | awk '/^ +[0-9]+ /{print $2}' | tr '\n' ' ')
  others=$(tr ' ' '\n' <<<"$sections" | grep -Ev '^$|^\.(text|data|rdata|eh_fram|bss|edata|idata|CRT|tls|rsrc|reloc)$' | tr '\n' ' ')
  check "$f has only the linker's sections (got: $sections)" test -n "$sections" -a -z "$others"
done
exit $fail
