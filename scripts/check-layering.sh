#!/usr/bin/env bash
# Fails when a folder includes what its layer may not:
# - the core libraries (app 0, scene 1, avi 2, media 3, detect/output/camera/
#   sample 4) include their own level and below, never Qt;
# - cli/ (the command line) and gui/ (the desktop program) sit on top of every
#   core folder; neither includes the other, and only gui/ includes Qt;
# - bench/ may include anything (the window benches drive the real windows);
# - product code (everything but tests/ and bench/) includes nothing of tests/;
# - only the user side (cli/, gui/) resets the Stop: no core file calls
#   resetCancel( or cancelToken().reset(.
# Usage: check-layering.sh [ROOT] (default: the tree this script is in).
set -uo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root" || exit 2
status=0
core=(app scene avi media detect output camera sample)
product=("${core[@]}" cli gui)

# The code lines of the folders given that match `pattern`, as
# "file:line:text"; comment lines do not count.
matches() {
  local pattern=$1
  shift
  local dirs=()
  for dir in "$@"; do [ -d "$dir" ] && dirs+=("$dir"); done
  [ ${#dirs[@]} -gt 0 ] || return 0
  grep -rn --include='*.h' --include='*.hpp' --include='*.cpp' -E "$pattern" "${dirs[@]}" |
    grep -vE '^[^:]+:[0-9]+:[[:space:]]*(//|/?\*)' || true
}

fail() {
  local title=$1 found=$2
  [ -n "$found" ] || return 0
  echo "$title"
  echo "$found"
  status=1
}

fail "Qt outside gui/:" "$(matches '#include *<Q' "${core[@]}" cli)"
fail "Product code includes the tests:" "$(matches '#include *"(tests|fixtures|support)/' "${product[@]}")"
fail "Core code resets the Stop (only cli/ and gui/ may):" \
  "$(matches 'resetCancel\(|cancelToken\(\)\.reset\(' "${core[@]}" | grep -v '^app/ui\.h:.*void resetCancel()')"

# A file may include its own folder and lower levels; cli and gui share the top.
declare -A level=([app]=0 [scene]=1 [avi]=2 [media]=3 [detect]=4 [output]=4 [camera]=4 [sample]=4 [cli]=5 [gui]=5)
for dir in "${product[@]}"; do
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    file=${line%%:*}
    inc=$(sed -E 's/.*#include *"([a-z]+)\/.*/\1/' <<<"$line")
    [ -n "${level[$inc]+x}" ] || continue
    if [ "$inc" != "$dir" ] && [ "${level[$inc]}" -ge "${level[$dir]}" ]; then
      echo "$file includes $inc/ (level ${level[$inc]} from level ${level[$dir]})"; status=1
    fi
  done <<<"$(matches '#include *"[a-z]+/' "$dir")"
done

exit $status
