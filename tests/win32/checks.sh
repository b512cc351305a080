# Sourced by scripts/test-win32.sh: what the 32-bit program must leave on the computer.
# Registry values are read with Wine's reg.exe in the view named (32: what a 32-bit program
# sees, SOFTWARE\WOW6432Node on the 64-bit system; 64: the native view); files straight
# from the prefix's drive C:.

# reg_value VIEW KEY NAME: the value's data as reg shows it (a number as 0x...), or
# "<absent>". NAME "" is the key's default value.
reg_value() {
  local out value=(/v "$3")
  [ -n "$3" ] || value=(/ve)
  out=$(cd "$c" && kv32_wine reg query "$2" "${value[@]}" "/reg:$1" 2>/dev/null) || { echo "<absent>"; return; }
  # "    Name    REG_SZ    data": the data may hold blanks of its own.
  awk -F'    ' '/^    [^ ].*    REG_/{sub(/^    [^ ].*    REG_[A-Z_]+    /, ""); sub(/\r$/, ""); print; exit}' <<<"$out"
}
# reg_key VIEW KEY: "present" or "absent".
reg_key() {
  (cd "$c" && kv32_wine reg query "$2" "/reg:$1" >/dev/null 2>&1) && echo present || echo absent
}
# ini_value FILE SECTION KEY: the first value of the key in the section, letter case ignored.
ini_value() {
  tr -d '\r' <"$1" | awk -v s="$(tr A-Z a-z <<<"$2")" -v k="$(tr A-Z a-z <<<"$3")" '
    /^[ \t]*\[/ { line = tolower($0); gsub(/^[ \t]*\[|\][ \t]*$/, "", line); in_section = line == s; next }
    in_section { i = index($0, "="); if (i && tolower(substr($0, 1, i - 1)) == k) { print substr($0, i + 1); exit } }'
}
file_state() { [ -f "$1" ] && echo present || echo absent; }
# same_file WHAT A B: the bytes of B are those of A.
same_file() {
  if cmp -s "$2" "$3"; then pass "$1"; else fail "$1 (${3#$c/} differs from ${2#$root/})"; fi
}

sample_dest='C:\Program Files (x86)\Kavex Sample\'
sample_dir="$c/Program Files (x86)/Kavex Sample"
product_key='HKLM\SOFTWARE\Kavex Software\Kavex Sample'
uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kavex Sample'
settings_key='HKCU\Software\Kavex Software\Kavex Sample\Settings'
setup_log="$c/users/$(whoami)/Temp/KavexInstall.log"
programs="$c/users/$(whoami)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"

check_sample_installed() {
  echo "-- the sample product, installed by the 32-bit program"
  local f
  for f in readme.txt license.txt docs/guide.kvs data/settings.kvs; do
    expect "file $f" present "$(file_state "$sample_dir/$f")"
  done
  same_file "the installed docs\\guide.kvs is the distribution's" "$root/dist/guide.kvs" "$sample_dir/docs/guide.kvs"
  same_file "the font is in the Windows fonts folder" "$root/dist/DejaVuSans.ttf" "$c/windows/Fonts/DejaVuSans.ttf"
  # The font is listed under the Fonts key only where the key exists: Wine's 32-bit view has none.
  expect "the font was added to the system" 1 "$(grep -c '^font added: C:\\windows\\Fonts\\DejaVuSans.ttf' "$setup_log")"
  # The Setup folder holds the program that was run, not the 64-bit twin.
  same_file "Setup\\setup.exe is the shipped program" "$root/dist/setup.exe" "$sample_dir/Setup/setup.exe"
  same_file "Setup\\stkit432.dll is the shipped library" "$root/dist/STKIT432.DLL" "$sample_dir/Setup/stkit432.dll"
  expect "Setup\\setup.exe and stkit432.dll are 32-bit" "Intel 80386 Intel 80386" \
    "$(file -b "$sample_dir/Setup/setup.exe" | grep -o 'Intel 80386') $(file -b "$sample_dir/Setup/stkit432.dll" | grep -o 'Intel 80386')"
  expect "shortcuts Kavex Sample Readme and Documents\\Kavex Sample Guide" "present present" \
    "$(file_state "$programs/Kavex Sample/Kavex Sample Readme.lnk") $(file_state "$programs/Kavex Sample/Documents/Kavex Sample Guide.lnk")"
  # File types: Wine keeps a 32-bit program's in the 64-bit view (Windows shares them).
  expect ".kvs file type" 'KavexSample.Document' "$(reg_value 64 'HKCR\.kvs' '')"
  expect ".kvs ShellNew" '' "$(reg_value 64 'HKCR\.kvs\ShellNew' NullFile)"
  expect "the type's description" 'Kavex Sample Document' "$(reg_value 64 'HKCR\KavexSample.Document' '')"
  expect "the type's icon" "${sample_dest}docs\\guide.kvs,0" "$(reg_value 64 'HKCR\KavexSample.Document\DefaultIcon' '')"
  expect "the type's open command" '"C:\windows\notepad.exe" "%1"' \
    "$(reg_value 64 'HKCR\KavexSample.Document\shell\open\command' '')"
  expect "the user's settings key" "${sample_dest}data\\" "$(reg_value 32 "$settings_key" DataFolder)"
  expect "the product key (32-bit view)" "$sample_dest" "$(reg_value 32 "$product_key" '')"
  expect "no product key, no uninstall entry in the 64-bit view" "absent absent" \
    "$(reg_key 64 "$product_key") $(reg_key 64 "$uninstall_key")"
  local name value
  while IFS='|' read -r name value; do
    expect "uninstall entry $name (32-bit view)" "$value" "$(reg_value 32 "$uninstall_key" "$name")"
  done <<EOF
DisplayName|Kavex Sample
UninstallString|${sample_dest}Setup\\setup.exe uninstall
QuietUninstallString|"${sample_dest}Setup\\setup.exe" uninstall quiet
DisplayVersion|1.0
Publisher|Kavex Software
InstallLocation|${sample_dest}
DisplayIcon|${sample_dest}Setup\\setup.exe
EstimatedSize|0x400
NoModify|0x1
NoRepair|0x1
EOF
  local script="$sample_dir/Setup/setup.ini"
  expect "installed script: installstate" installed "$(ini_value "$script" install installstate)"
  expect "installed script: destpath" 'c:\program files (x86)\kavex sample\' "$(ini_value "$script" uninstall destpath)"
  # The moved notes file (file1), then every file but those kept at uninstall (settings, font).
  expect "installed script: file count" 4 "$(ini_value "$script" uninstall uninstallfilestotal)"
  expect "installed script: last file" 'c:\program files (x86)\kavex sample\docs\guide.kvs' \
    "$(ini_value "$script" uninstall file4)"
  expect "installed script: file type" '.kvs' "$(ini_value "$script" uninstall ext1)"
  expect "installed script: shortcut" 'kavex sample guide' "$(ini_value "$script" uninstall shortcut2)"
}

check_sample_uninstalled() {
  echo "-- the sample product after its uninstall command"
  local f
  for f in readme.txt license.txt docs/guide.kvs; do
    expect "file $f" absent "$(file_state "$sample_dir/$f")"
  done
  expect "data\\settings.kvs (NoUninstall) stays" present "$(file_state "$sample_dir/data/settings.kvs")"
  expect "the font stays" present "$(file_state "$c/windows/Fonts/DejaVuSans.ttf")"
  expect "shortcut Kavex Sample Readme" absent "$(file_state "$programs/Kavex Sample/Kavex Sample Readme.lnk")"
  [ -d "$programs/Kavex Sample" ] && fail "the emptied shortcut folder Kavex Sample is left" ||
    pass "the emptied shortcut folders are gone"
  expect ".kvs and its type key" "absent absent" "$(reg_key 64 'HKCR\.kvs') $(reg_key 64 'HKCR\KavexSample.Document')"
  expect "the product's user key" absent "$(reg_key 32 'HKCU\Software\Kavex Software\Kavex Sample')"
  expect "the product key and the uninstall entry" "absent absent" "$(reg_key 32 "$product_key") $(reg_key 32 "$uninstall_key")"
  expect "installed script: installstate" uninstalled "$(ini_value "$sample_dir/Setup/setup.ini" install installstate)"
}

check_bits_installed() {
  echo "-- Kavex Bits: readings and system calls of the 32-bit program"
  local dest='C:\Program Files (x86)\Kavex Bits\'
  same_file "version installer: an older file is replaced by version 3" "$build/win32/bin/verfile_v3.dll" "$bitsdir/newer.dll"
  same_file "version installer: a newer file is kept, not replaced by version 1" "$build/win32/bin/verfile_v3.dll" "$bitsdir/older.dll"
  expect "TotalFiles=&H0003: the third file" present "$(file_state "$bitsdir/plain.txt")"
  expect "KillFilesTotal=2.5 (2): stale*.log, gone.tmp" "absent absent absent" \
    "$(file_state "$bitsdir/stale1.log") $(file_state "$bitsdir/stale2.log") $(file_state "$bitsdir/gone.tmp")"
  expect "KillFilesTotal=2.5 (2): the third entry is not read" present "$(file_state "$bitsdir/kept.tmp")"
  expect "TotalShortcuts=&HFFFF (-1): no shortcut" absent "$(file_state "$programs/plain.txt.lnk")"
  expect "root &H80000002 (32-bit view)" hexadecimal "$(reg_value 32 'HKLM\SOFTWARE\Kavex Bits\Hex' Root)"
  expect "root -2147483646 (32-bit view)" "${dest}file.txt" "$(reg_value 32 'HKLM\SOFTWARE\Kavex Bits\Decimal' '')"
  expect "no HKLM key in the 64-bit view" absent "$(reg_key 64 'HKLM\SOFTWARE\Kavex Bits')"
  expect "root &H80000001" 'current user' "$(reg_value 32 'HKCU\Software\Kavex Bits' User)"
  expect "root 2147483650 (unsigned) names no root" "absent absent" \
    "$(reg_key 32 'HKLM\SOFTWARE\Kavex Bits\Unsigned') $(reg_key 32 'HKCU\SOFTWARE\Kavex Bits\Unsigned')"
  expect "root &H180000002 (more than 32 bits) names no root" absent "$(reg_key 32 'HKLM\SOFTWARE\Kavex Bits\Wide')"
  expect "EstimatedSize=2097151.5 (MB, written in KB)" 0x7ffffe00 \
    "$(reg_value 32 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kavex Bits' EstimatedSize)"
}
