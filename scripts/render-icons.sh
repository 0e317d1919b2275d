#!/usr/bin/env bash
# Renders the program icon's PNG sizes from its SVG into the hicolor layout
# under resources/desktop/icons (committed: the build does not need librsvg).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
icons="$root/resources/desktop/icons/hicolor"
svg="$icons/scalable/apps/org.klemora.Klemora.svg"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing (package librsvg2-bin)" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
  folder="$icons/${size}x${size}/apps"
  mkdir -p "$folder"
  rsvg-convert --width "$size" --height "$size" "$svg" --output "$folder/org.klemora.Klemora.png"
done
