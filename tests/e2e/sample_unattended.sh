#!/usr/bin/env bash
# The sample product: unattended beside a running copy (1618); setupcheck.exe's plan of it; by its
# wizard (the readme question declined), removed by its quiet uninstall string; unattended into the
# same folder, quoted, with a log in a new folder: no window, code 0, the same files, keys and entry,
# the answers in the log; removed (0), and again (1605); a source file missing: 1603, the file named
# in the log.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
t=$WINEPREFIX/drive_c/kvtest/sample
# The distribution as the main job gives it to the user, with the 64-bit twin of the programs.
rm -rf "$t" && mkdir -p "$t/dist" && cp -r "$root/dist/." "$t/dist/" &&
  cp "$root"/build/win64/bin/{setup.exe,STKIT432.DLL} "$WINEPREFIX/drive_c/windows/system32/regsvr32.exe" \
    "$t/dist/" && cp "$root"/build/win64/bin/{kvdrive.exe,setupcheck.exe} "$t/"
drive() { wine 'C:\kvtest\sample\kvdrive.exe' "$@" 2>/dev/null | tr -d '\r' | grep -v '^started '; }
left() { # what an installation of the sample leaves: kvdrive's report and the product's keys
  drive report 'C:\kvtest\sample\dist\setup.ini'
  for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kavex Sample' \
    'HKLM\Software\Kavex Software\Kavex Sample' 'HKCU\Software\Kavex Software\Kavex Sample' 'HKCR\.kvs'; do
    wine reg query "$key" /s 2>/dev/null | tr -d '\r'
  done
}
failed=0
expect() { # expect WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then echo "ok: $1"; else printf 'FAIL: %s\n  expected: %s\n  got: %s\n' "$1" "$2" "$3"; failed=1; fi
}
dest='C:\Program Files\Kavex Sample\' setup='"C:\kvtest\sample\dist\setup.exe"'
# Beside a copy that runs (its wizard waits at the welcome message) an unattended run is refused.
wine 'C:\kvtest\sample\dist\setup.exe' 'log=C:\kvtest\sample\first.log' >/dev/null 2>&1 &
for _ in $(seq 300); do grep -qs "^mode: install" "$t/first.log" && break; sleep 0.1; done
out=$(drive run "$setup unattended log=C:\kvtest\sample\refused.log")
wine taskkill /f /im setup.exe >/dev/null 2>&1; wait
expect "beside another copy: 1618, no window" "the program ended with exit code 1618" "$out"
expect "the refusal in the log" "refused: another copy of the program is running" "$(tail -1 "$t/refused.log" | tr -d '\r')"
# setupcheck.exe's plan, made on this computer before the installation, records the files that the
# wizard's installation records.
planned=$(wine 'C:\kvtest\sample\setupcheck.exe' --plan "${dest%\\}" 'C:\kvtest\sample\dist' 2>/dev/null | tr -d '\r' |
  sed -n 's/^ *[0-9]*  record *\[uninstall\] \(file[0-9]*\)  = /\1=/p')
out=$(drive install 'C:\kvtest\sample\dist\setup.exe' --decline 'Would you like to read the readme file now?')
expect "the wizard installs the sample" "the setup ended after Finish with exit code 0" "$(tail -1 <<<"$out")"
expect "the plan's records are the installation's" "$planned" \
  "$(tr -d '\r' <"$WINEPREFIX/drive_c/Program Files/Kavex Sample/Setup/setup.ini" | grep '^file[0-9]*=')"
wizard=$(left) && echo "$wizard" >"$t/left-by-the-wizard.txt" && echo "$out" >"$t/wizard-run.txt"
quiet=$(sed -n 's/.* QuietUninstallString = //p' <<<"$wizard") # its value: WizardTest
expect "the quiet command removes it without a window" "the program ended with exit code 0" "$(drive run "$quiet")"
out=$(drive run "$setup unattended log=\"C:\\kvtest\\sample\\new logs\\setup.log\" dest=\"$dest\"")
expect "unattended: no window, exit code 0" "the program ended with exit code 0" "$out"
expect "unattended: what the wizard left" "$wizard" "$(left)"
log=$(tr -d '\r' <"$t/new logs/setup.log" 2>/dev/null)
for line in "license accepted by the unattended command line, not shown: C:\kvtest\sample\dist\license.txt" \
  "destination: $dest" \
  'message box "Kavex Sample Setup", answered Yes: Would you like to read the readme file now?' \
  "not opened (unattended): ${dest}readme.txt"; do
  expect "the log names: $line" "$line" "$(grep -Fx -- "$line" <<<"$log")"
done
expect "the quiet command after the unattended run" "the program ended with exit code 0" "$(drive run "$quiet")"
expect "a second quiet run: uninstalled already" "the program ended with exit code 1605" "$(drive run "$quiet")"
rm "$t/dist/readme.txt" # a file that cannot be copied: 1603, named in the log
expect "a failed copy: 1603" "the program ended with exit code 1603" "$(drive run "$setup unattended log=C:\kvtest\sample\failed.log")"
expect "the failed copy in the log" "message box \"KavexInstall Setup\", answered OK: The file ${dest}readme.txt could not be copied." \
  "$(grep -o '^message box .* could not be copied\.' "$t/failed.log")"
exit $failed
