#!/usr/bin/env bash
# Screenshots of the desktop program as a person sees it: klemora runs on a
# virtual X display with the real xcb platform, with the main job's project
# loaded, and the screen is captured with ffmpeg's X11 grabber.
#
# Usage: screenshots.sh [options] [OUT.png]     (default docs/main-window.png)
#   --lang DE|US       language of the program (default DE, or $KLEMORA_SHOT_LANG)
#   --keys "K1 K2 ..." steps done in the main window before the shot: xdotool key
#                      names ("Home ctrl+t" opens the trim dialog on scene 1),
#                      click:X,Y rclick:X,Y ctrlclick:X,Y (screen pixels) and
#                      type:TEXT (no blanks in TEXT)
#   --click X,Y        a left click at X,Y (screen pixels) before the keys
#   --window TITLE     crop to the window whose title matches TITLE (a dialog)
#   --project FILE     the project to open (default: the main job's project)
#   --ini LINES        more "Key=value" lines for the settings file (newline-separated)
# The PNG is written with a 256-colour palette: small enough to commit.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="${KLEMORA_BUILD_DIR:-$root/build}/bin"
project=""
lang="${KLEMORA_SHOT_LANG:-DE}"
keys=""
click=""
window=""
extra_ini=""
out=""
while [ $# -gt 0 ]; do
  case "$1" in
    --lang) lang="$2"; shift 2 ;;
    --keys) keys="$2"; shift 2 ;;
    --click) click="$2"; shift 2 ;;
    --window) window="$2"; shift 2 ;;
    --project) project="$2"; shift 2 ;;
    --ini) extra_ini="$2"; shift 2 ;;
    -*) echo "screenshots.sh: unknown option $1" >&2; exit 2 ;;
    *) out="$1"; shift ;;
  esac
done
out="${out:-$root/docs/main-window.png}"
if [ -z "$project" ]; then
  project="${KLEMORA_MAIN_JOB_DIR:-$root/out/main-job}/holiday.scn"
  [ -f "$project" ] || "$root/scripts/main-job.sh" >/dev/null
fi
work="$(mktemp -d)"
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
# Settings of its own: the language, the framework already checked, a fixed
# placement; the --ini lines come first, as the first of two equal keys counts.
cat >"$work/Klemora.ini" <<INI
[Data]
$extra_ini
Lang=$lang
dxTested=1
EnableBackup=0
MainX1=0
MainY1=0
MainX2=1024
MainY2=740
INI
# A free display number: several shots may run at once.
for n in $(seq $((90 + RANDOM % 100)) 400); do
  [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY="$display" QT_QPA_PLATFORM=xcb KLEMORA_INI="$work/Klemora.ini" KLEMORA_BROWSER=true \
  "$bin/klemora" ${project:+"$project"} &
app=$!
sleep "${KLEMORA_SHOT_DELAY:-4}"
export DISPLAY="$display"
if [ -n "$click" ]; then
  xdotool mousemove "${click%,*}" "${click#*,}" click 1
  sleep 1
fi
if [ -n "$keys" ]; then
  main=$(xdotool search --onlyvisible --name "Klemora" | head -1)
  [ -n "$main" ] && xdotool windowfocus --sync "$main" 2>/dev/null || true
  for k in $keys; do
    case "$k" in
      click:*) c=${k#click:}; xdotool mousemove "${c%,*}" "${c#*,}" click 1 ;;
      rclick:*) c=${k#rclick:}; xdotool mousemove "${c%,*}" "${c#*,}" click 3 ;;
      ctrlclick:*) c=${k#ctrlclick:}; xdotool mousemove "${c%,*}" "${c#*,}" keydown ctrl click 1 keyup ctrl ;;
      type:*) xdotool type --delay 80 "${k#type:}" ;;
      *) xdotool key --delay 100 "$k" ;;
    esac
    sleep 0.5
  done
  sleep "${KLEMORA_SHOT_SETTLE:-2}"
fi
crop="crop=1024:740:0:0"
if [ -n "$window" ]; then
  id=$(xdotool search --sync --onlyvisible --name "$window" | tail -1)
  eval "$(xdotool getwindowgeometry --shell "$id")"
  crop="crop=$WIDTH:$HEIGHT:$X:$Y"
fi
mkdir -p "$(dirname "$out")"
ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size 1024x768 -i "$display" \
  -vf "$crop,split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=dither=none" \
  -frames:v 1 "$out"
echo "$out"
