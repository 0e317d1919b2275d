#!/usr/bin/env bash
# Screenshots of the desktop program as a person sees it: klemora runs on a
# virtual X display with the real xcb platform, with the main job's project
# loaded, and the screen is captured with ffmpeg's X11 grabber.
# Usage: [KLEMORA_SHOT_LANG=US] screenshots.sh [OUT.png] (default docs/main-window.png).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="${KLEMORA_BUILD_DIR:-$root/build}/bin"
project="${KLEMORA_MAIN_JOB_DIR:-$root/out/main-job}/holiday.scn"
out="${1:-$root/docs/main-window.png}"
[ -f "$project" ] || "$root/scripts/main-job.sh" >/dev/null
work="$(mktemp -d)"
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
# Settings of its own: German, the framework already checked, a fixed placement.
cat >"$work/Klemora.ini" <<INI
[Data]
Lang=${KLEMORA_SHOT_LANG:-DE}
dxTested=1
EnableBackup=0
MainX1=0
MainY1=0
MainX2=1024
MainY2=740
INI
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY="$display" QT_QPA_PLATFORM=xcb KLEMORA_INI="$work/Klemora.ini" "$bin/klemora" "$project" &
app=$!
sleep "${KLEMORA_SHOT_DELAY:-4}"
mkdir -p "$(dirname "$out")"
ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size 1024x768 -i "$display" -vf crop=1024:740:0:0 \
  -frames:v 1 "$out"
echo "$out"
