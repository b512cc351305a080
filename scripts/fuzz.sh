#!/usr/bin/env bash
# Fuzzes the portable script layer with libFuzzer (clang, address and undefined-behaviour
# sanitizers): the script reader and writer, the value readings, the text and path
# helpers and the macro expansion. Each target starts from its seed corpus in
# tests/fuzz/corpus/<target>/, copied to build/fuzz/run/ so that the tree stays as it is.
#
#   scripts/fuzz.sh          about one minute in all (scripts/test.sh runs this)
#   scripts/fuzz.sh --long   ten and a half minutes in all
#
# Exits non-zero on any crash, leak, broken check or sanitizer report; the input that
# caused it is left in build/fuzz/artifacts/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=20
[ "${1:-}" = "--long" ] && seconds=210
targets=(profile values text)
out=build/fuzz
mkdir -p "$out/obj" "$out/artifacts" "$out/tmp"
flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -Isrc -fsanitize=address,undefined
  -fno-sanitize-recover=all)

# The portable library, compiled again only where a source changed.
objects=()
for src in src/script/*.cpp; do
  obj="$out/obj/$(basename "${src%.cpp}").o"
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ -n "$(find src/script -name '*.h' -newer "$obj")" ]; then
    clang++-14 "${flags[@]}" -fsanitize=fuzzer-no-link -c "$src" -o "$obj"
  fi
  objects+=("$obj")
done
for t in "${targets[@]}"; do
  name=$(tr '[:lower:]' '[:upper:]' <<<"${t:0:1}")${t:1}
  clang++-14 "${flags[@]}" -fsanitize=fuzzer -DKV_FUZZ_TARGET="Fuzz$name" tests/fuzz/fuzz_script.cpp \
    "${objects[@]}" -o "$out/fuzz_$t"
done

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TMPDIR="$root/$out/tmp"
failed=0
for t in "${targets[@]}"; do
  run="$out/run/$t"
  rm -rf "$run"
  mkdir -p "$run"
  cp tests/fuzz/corpus/"$t"/* "$run"/
  echo "== fuzzing $t for ${seconds}s"
  if ! "$out/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -dict=tests/fuzz/script.dict -artifact_prefix="$out/artifacts/$t-" "$run" >"$out/$t.log" 2>&1; then
    failed=1
    tail -n 60 "$out/$t.log"
  fi
  grep -E '^stat::number_of_executed_units|^Done' "$out/$t.log" || true
done
[ "$failed" -eq 0 ] && echo "fuzzing: no crash, leak or sanitizer report" || echo "FUZZING FOUND A FAULT"
exit "$failed"
