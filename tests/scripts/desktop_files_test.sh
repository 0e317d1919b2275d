#!/usr/bin/env bash
# The desktop files as the desktop reads them: the menu entry and the AppStream
# metadata pass their validators, and a MIME database built from the project
# type knows a project file by its first bytes, whatever its name.
# Usage: desktop_files_test.sh SOURCE_ROOT
set -euo pipefail
desktop="$1/resources/desktop"
id=org.klemora.Klemora
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

desktop-file-validate "$desktop/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --no-color "$desktop/$id.metainfo.xml" >"$tmp/appstream.txt" 2>&1 ||
  fail "appstreamcli validate: $(cat "$tmp/appstream.txt")"
grep -E '^[EW]:' "$tmp/appstream.txt" && fail "appstreamcli reports errors or warnings"
xmllint --noout "$desktop/$id.mime.xml" || fail "xmllint"
for size in 16 22 24 32 48 64 128 256; do
  [ -s "$desktop/icons/hicolor/${size}x${size}/apps/$id.png" ] || fail "no ${size}x${size} icon"
done

mkdir -p "$tmp/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$desktop/$id.mime.xml" "$tmp/mime/packages/"
update-mime-database "$tmp/mime" 2>"$tmp/update.txt" || fail "update-mime-database: $(cat "$tmp/update.txt")"
if command -v gio >/dev/null; then
  printf 'Klemora File v3.1 / scene project file, Klemora 2001-2009  \0' >"$tmp/project.bin"
  printf 'Quillobrant File v2.0 / scene lists, Quillobrant 2001-2003 \0' >"$tmp/old project"
  for file in "$tmp/project.bin" "$tmp/old project"; do
    type=$(XDG_DATA_DIRS="$tmp" XDG_DATA_HOME="$tmp/none" gio info -a standard::content-type "$file" |
      sed -n 's/.*standard::content-type: //p')
    [ "$type" = application/x-klemora-project ] || fail "$(basename "$file") is taken for '$type'"
  done
fi
exit $((failures > 0))
