#!/usr/bin/env bash
# The main job on a generated sample recording: a DV tape of three recording
# sessions, its scenes found from the recording date/time, every scene
# written as its own AVI file (frames copied unchanged) with the recording
# date as its file time, and what was written listed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KLEMORA_BUILD_DIR:-$root/build}"
cli="$build/bin/klemora-cli"
"$cli" --version
"$cli" --batch selfcheck

work="${KLEMORA_MAIN_JOB_DIR:-$build/main-job}"
rm -rf "$work"
mkdir -p "$work"
echo
echo "== sample recording"
"$cli" sample "$work/tape.avi" --type 2 \
  --session "2006-07-01 10:00:00,4" \
  --session "2006-07-01 14:30:00,3" \
  --session "2006-07-02 09:15:00,5"
echo
echo "== scene detection (recording date/time), saved as the project tape.scn"
"$cli" --batch detect "$work/tape.avi" -o "$work/tape.scn"
"$cli" --batch show "$work/tape.scn"
echo
echo "== writing every scene"
"$cli" --batch write "$work/tape.scn" --dest "$work/scenes" --set-dates --template "%N3_%D"
echo
echo "== written"
ls -l --time-style="+%Y-%m-%d %H:%M:%S" "$work/scenes"
