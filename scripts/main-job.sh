#!/usr/bin/env bash
# The main job on a generated sample recording: a three-session DV recording
# is made, cut into its scenes (by its DV dates, and once more by picture
# differences), saved as a project, every scene written as
# its own AVI file (frames copied unchanged, the recording date as its file
# time), and the scenes published as an HTML scene index.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="${KLEMORA_BUILD_DIR:-$root/build}/bin"
cli="$bin/klemora-cli"
work="${KLEMORA_MAIN_JOB_DIR:-$root/out/main-job}"
rm -rf "$work/scenes"
mkdir -p "$work"
export KLEMORA_INI="$work/Klemora.ini"

"$cli" --version
"$cli" --batch selfcheck
"$cli" --batch sample "$work/holiday.avi" --session "2006-07-01 10:00:00,4" \
  --session "2006-07-01 14:30:00,3" --session "2006-07-02 09:15:00,5"
"$cli" --batch detect "$work/holiday.avi" -o "$work/holiday.scn"
"$cli" --batch show "$work/holiday.scn"
# The same cuts seen in the pictures alone, as for video without DV dates.
"$cli" --batch detect --type picture --trim 0 "$work/holiday.avi"
"$cli" --batch write "$work/holiday.scn" --dest "$work/scenes" --set-dates --template "%N3_%D"
"$cli" --batch index "$work/holiday.scn" --template "$bin/Templates/Standard.tpl" --out "$work/index.htm"
echo "Project: $work/holiday.scn"
echo "Scenes written:"
ls -l --time-style="+%Y-%m-%d %H:%M:%S" "$work/scenes"
echo "Scene index: $work/index.htm"
