#!/usr/bin/env bash
# Installs the Debian packages Klemora needs to build, test and run.
# Idempotent; does nothing (and needs no network) when all are present.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config git dpkg-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev ffmpeg mediainfo
  mingw-w64-common
  libraw1394-dev libiec61883-dev libavc1394-dev liburing-dev
  qt6-base-dev qt6-multimedia-dev libgl-dev
  python3 xvfb chromium xdotool qt6-translations-l10n
  lintian appstream desktop-file-utils librsvg2-bin libxml2-utils man-db dvgrab
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
