#!/usr/bin/env bash
# One command: install what is missing, build, run the whole test suite.
# Exits non-zero on any failure. Arguments go to the CMake configure step.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$@"
ctest --test-dir "${KLEMORA_BUILD_DIR:-$root/build}" -j"$(nproc)" --output-on-failure --timeout 900
