#!/usr/bin/env bash
# One command on a fresh Debian 12 machine: install, build, run the main job.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
"$root/scripts/main-job.sh"
