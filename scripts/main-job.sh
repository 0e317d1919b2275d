#!/usr/bin/env bash
# The main job on a generated sample recording.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="${KLEMORA_BUILD_DIR:-$root/build}/bin/klemora-cli"
"$cli" --version
"$cli" --batch selfcheck
