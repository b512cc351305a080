#!/usr/bin/env bash
# Measures the installation's speed against baselines measured in the same run, in a
# fresh Wine prefix set up as the tests' is, and prints one table: case, median time,
# baseline median, ratio, target, met or not. Every case runs KV_BENCH_RUNS times (3).
#   1  the wizard, Finish to the end of the program, installing 10,000 files of 4 KB in
#      100 folders and 20 files of 5 MB, all recorded for uninstall, against CopyFileA of
#      the same files into the same folders (and the same at 1,000 files: the cost grows
#      linearly when the ratio at 10,000 is at most 1.1 times the ratio at 1,000)
#   2  2,000 files installed again over the same installation, against VerInstallFileA
#      (long names, nothing else) over the same files into a copy of the installed tree
#   3  the component search over 20,000 folders against a plain FindFirstFileA walk
#   4  the setup program's peak working set in case 1, 10,000 files against 1,000
#   5  a kill list that counts 32,767 items and names none, against a count of 0:
#      the extra time per item
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${KV_BENCH_RUNS:-3}

[ -f build/win64/CMakeCache.txt ] ||
  cmake -S . -B build/win64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
cmake --build build/win64 -j2 --target setup stkit432 kvbench search_walk_bench >/dev/null

source scripts/wine-env.sh
kv_wine_prefix "$root/build/wine-bench"
kv_start_display
trap kv_wine_stop EXIT
wineserver -p # one server for the whole run: no start-up in any measurement
C=$WINEPREFIX/drive_c
cp build/win64/bin/kvbench.exe build/win64/bin/search_walk_bench.exe "$C/"

kvbench() { wine 'C:\kvbench.exe' "$@" 2>/dev/null | tr -d '\r' | tail -1; }
value() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; } # value NAME < line
median() { tr ' ' '\n' | grep . | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
# product NAME ARGS...: a distribution folder C:\kvb\NAME with the setup program
product() {
  local name=$1; shift
  rm -rf "$C/kvb/$name"; mkdir -p "$C/kvb/$name"
  cp build/win64/bin/setup.exe build/win64/bin/STKIT432.DLL "$C/kvb/$name/"
  kvbench make "C:\\kvb\\$name\\" "$@" >/dev/null
}
wizard() { kvbench wizard "C:\\kvb\\$1\\setup.exe"; } # prints seconds=... peak=...

rows=()
row() { rows+=("$(printf '%-44s %10s %10s %8s %10s  %s' "$@")"); }
met() { awk -v a="$1" -v b="$2" 'BEGIN {print (a <= b) ? "met" : "NOT met"}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

# Cases 1 and 4.
declare -A case_ratio case_peak
for n in 1000 10000; do
  echo "== case 1: $n files" >&2
  product "p$n" 'C:\kvb\dest\' files "$n" 20
  times=() bases=() peaks=()
  for _ in $(seq "$runs"); do
    rm -rf "$C/kvb/copy" "$C/kvb/dest"
    bases+=("$(kvbench copy "C:\\kvb\\p$n\\" 'C:\kvb\copy\' "$n" 20 | value seconds)")
    rm -rf "$C/kvb/copy"
    line=$(wizard "p$n")
    times+=("$(value seconds <<<"$line")") peaks+=("$(value peak <<<"$line")")
    [ -f "$C/kvb/dest/Setup/setup.ini" ] || { echo "the installation of $n files failed" >&2; exit 1; }
  done
  t=$(echo "${times[*]}" | median) b=$(echo "${bases[*]}" | median)
  case_ratio[$n]=$(ratio "$t" "$b") case_peak[$n]=$(echo "${peaks[*]}" | median)
  row "1 wizard, $n x 4 KB + 20 x 5 MB" "${t}s" "${b}s" "${case_ratio[$n]}" "<= 2.0" "$(met "${case_ratio[$n]}" 2.0)"
  rm -rf "$C/kvb/dest" "$C/kvb/p$n"
done
lin=$(ratio "${case_ratio[10000]}" "${case_ratio[1000]}")
row "1 ratio at 10,000 / ratio at 1,000" "" "" "$lin" "<= 1.1" "$(met "$lin" 1.1)"
mb() { awk -v b="$1" 'BEGIN {printf "%.1fMB", b / 1048576}'; }
peak=$(ratio "${case_peak[10000]}" "${case_peak[1000]}")
row "4 peak working set, 10,000 / 1,000 files" "$(mb "${case_peak[10000]}")" "$(mb "${case_peak[1000]}")" \
  "$peak" "<= 1.2" "$(met "$peak" 1.2)"

# Case 2.
echo "== case 2" >&2
product again 'C:\kvb\again\' files 2000 0
wizard again >/dev/null
rm -rf "$C/kvb/copy"; cp -a "$C/kvb/again" "$C/kvb/copy"
times=() bases=()
for _ in $(seq "$runs"); do
  bases+=("$(kvbench verinstall 'C:\kvb\again\' 'C:\kvb\copy\' 2000 | value seconds)")
  times+=("$(wizard again | value seconds)")
done
t=$(echo "${times[*]}" | median) b=$(echo "${bases[*]}" | median) r=$(ratio "$t" "$b")
row "2 wizard, 2,000 files again over them" "${t}s" "${b}s" "$r" "<= 1.3" "$(met "$r" 1.3)"

# Case 5.
for n in 0 32767; do product "kill$n" "C:\\kvb\\kill$n\\" kill "$n"; done
echo "== case 5" >&2
k0=() k1=()
for _ in $(seq "$runs"); do
  k0+=("$(wizard kill0 | value seconds)") k1+=("$(wizard kill32767 | value seconds)")
done
t=$(echo "${k1[*]}" | median) b=$(echo "${k0[*]}" | median)
us=$(awk -v t="$t" -v b="$b" 'BEGIN {printf "%.1f", (t - b) * 1e6 / 32767}')
row "5 kill list of 32,767 empty items (us/item)" "${t}s" "${b}s" "$us" "<= 50" "$(met "$us" 50)"

# Case 3.
echo "== case 3 (makes a tree of 20,000 folders first)" >&2
line=$(wine 'C:\search_walk_bench.exe' 2>/dev/null | tr -d '\r' | grep medians)
t=$(value search <<<"$line") b=$(value plain <<<"$line") r=$(ratio "$t" "$b")
row "3 component search, 20,000 folders" "${t}s" "${b}s" "$r" "<= 1.5" "$(met "$r" 1.5)"

printf '%-44s %10s %10s %8s %10s  %s\n' case median baseline ratio target result
printf '%s\n' "${rows[@]}"
