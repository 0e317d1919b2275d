#!/usr/bin/env bash
# Builds the libFuzzer programs with clang (AddressSanitizer + UBSan, folder
# build-fuzz/) and runs each over its seeds: the committed corpus of
# tests/fuzz/corpus/ plus DV recordings from the fixture generator.
#   scripts/run-fuzz.sh [--seconds N] [--runs N] [TARGET...]
# Stops at the first finding (non-zero exit); the input that found it is
# left in build-fuzz/findings/ (commit it to tests/fuzz/regressions/TARGET/).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
seconds=10
runs=-1
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --runs) runs="$2"; seconds=0; shift 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(avi_reader project_file csv_import edl_import html_template ini_text
                                     language_file bitmap_picture)

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DCMAKE_CXX_COMPILER=clang++ -DKLEMORA_FUZZ=ON -DKLEMORA_CORE_ONLY=ON -DKLEMORA_GUI=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_seeds $(printf 'fuzz_%s ' "${targets[@]}")

work="$build/work"
mkdir -p "$work" "$build/findings"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in "${targets[@]}"; do
  corpus="$work/$target"
  rm -rf "$corpus" && mkdir -p "$corpus"
  cp "$root/tests/fuzz/corpus/$target/"* "$corpus/" 2>/dev/null || true
  case "$target" in
    avi_reader) "$build/bin/fuzz_seeds" avi "$corpus" ;;
    html_template) cp "$root/resources/Templates/"*.tpl "$corpus/" ;;
    language_file) cp "$root/resources/strings/english.lang" "$root/resources/strings/de.txt" "$corpus/" ;;
  esac
  limits=(-max_total_time="$seconds")
  [ "$runs" -ge 0 ] && limits=(-runs="$runs")
  log="$build/findings/$target.log"
  if ! "$build/bin/fuzz_$target" "${limits[@]}" -max_len=600000 -rss_limit_mb=2048 -timeout=20 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$target-" "$corpus" >"$log" 2>&1; then
    tail -40 "$log"
    echo "fuzz $target: FINDING (input in $build/findings/)"
    exit 1
  fi
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+' || echo 0)
  echo "fuzz $target: $execs inputs, coverage $cov edges, no finding"
done
