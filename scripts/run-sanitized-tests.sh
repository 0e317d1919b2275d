#!/usr/bin/env bash
# The tests under AddressSanitizer + UndefinedBehaviorSanitizer, in a build
# folder of their own, so memory faults in the parsers and the windows fail;
# then the command line of that build over damaged files.
set -euo pipefail
# Line tables (-g1) are all a sanitizer report needs, and compile faster.
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-asan"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKLEMORA_SANITIZE=ON -DKLEMORA_CORE_ONLY=OFF \
  -DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DKLEMORA_GUI=ON -DKLEMORA_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" -j"$(nproc)" --output-on-failure --timeout 1800
python3 "$root/scripts/cli-damage-check.py" --cli "$build/bin/klemora-cli" --variants "${KLEMORA_DAMAGE_VARIANTS:-60}"
