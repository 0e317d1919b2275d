#!/usr/bin/env bash
# Fails when a core library includes Qt or a library of a higher level.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
status=0
qt=$(grep -rn --include='*.h' --include='*.cpp' -E '#include <Q' app scene avi media detect output camera cli \
     | grep -v '^app/gui/' || true)
if [ -n "$qt" ]; then echo "Qt outside the GUI:"; echo "$qt"; status=1; fi

# level of each library; a file may include its own level and below
# avi decodes DV packs into the scene model's calendar time and timecode, so it
# sits above scene.
declare -A level=([app]=0 [scene]=1 [avi]=2 [media]=3 [detect]=4 [output]=4 [camera]=4)
for dir in "${!level[@]}"; do
  while IFS= read -r line; do
    file=${line%%:*}
    inc=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$line")
    [ -n "${level[$inc]+x}" ] || continue
    [ "$file" = "${file#app/gui/}" ] || continue
    if [ "$inc" != "$dir" ] && [ "${level[$inc]}" -ge "${level[$dir]}" ]; then
      echo "$file includes $inc/ (level ${level[$inc]} from level ${level[$dir]})"; status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '#include "[a-z]+/' "$dir" 2>/dev/null)
done
exit $status
