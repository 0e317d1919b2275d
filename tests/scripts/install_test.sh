#!/usr/bin/env bash
# Installs the build into a fresh prefix and runs the programs from there,
# outside the build tree: they must find their files in <prefix>/share/klemora
# and keep their settings out of the prefix.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR GUI(ON|OFF)
set -euo pipefail
build="$1"
source="$2"
gui="${3:-ON}"
work="$(mktemp -d)"
trap 'if [ -n "${app:-}" ]; then kill "$app" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
fail() { echo "install_prefix: $*" >&2; exit 1; }

prefix="$work/prefix"
share="$prefix/share/klemora"
cmake --install "$build" --prefix "$prefix" >"$work/install.out" || fail "cmake --install failed: $(cat "$work/install.out")"

expected=(bin/klemora-cli share/klemora/english.lang share/klemora/HtmlDoku/klemora.css
          share/klemora/de_liesmich.txt share/klemora/de_lizenz.txt share/klemora/us_readme.txt
          share/klemora/us_license.txt)
[ "$gui" = ON ] && expected+=(bin/klemora)
for tpl in "$source"/resources/Templates/*.tpl; do expected+=("share/klemora/Templates/$(basename "$tpl")"); done
for file in "${expected[@]}"; do [ -e "$prefix/$file" ] || fail "not installed: $file"; done
[ -e "$prefix/bin/english.lang" ] && fail "program files installed beside the programs"

# What the self-check must report: the installed folders and what the sources hold.
templates=$(find "$source/resources/Templates" -maxdepth 1 -name '*.tpl' | wc -l)
pages=$(find "$source/resources/HtmlDoku" -maxdepth 1 -name '*.htm' | wc -l)
index=missing
[ -f "$source/resources/HtmlDoku/index.htm" ] && index=present

cd "$work"
mkdir -p home
selfcheck=$(env -u KLEMORA_INI HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
            "$prefix/bin/klemora-cli" --batch selfcheck) || fail "selfcheck failed:
$selfcheck"
for line in "settings file:  $work/config/klemora/Klemora.ini" \
            "program folder: $share" \
            "language file:  $share/english.lang (3.0.6.0)" \
            "templates:      $share/Templates ($templates *.tpl)" \
            "help pages:     $share/HtmlDoku ($pages pages, index.htm $index)"; do
  grep -qxF "$line" <<<"$selfcheck" || fail "selfcheck does not say \"$line\":
$selfcheck"
done

if [ "$gui" = ON ]; then
  # A run in English with the framework already checked comes straight to the
  # main window; its general log names the program folder and the menus shown.
  mkdir -p docs
  printf '[Data]\nLang=US\ndxTested=1\nEnableBackup=0\nWriteLogfile=1\n' >Klemora.ini
  log="$work/docs/klemoradbg.log"
  HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DOCUMENTS_DIR="$work/docs" KLEMORA_INI="$work/Klemora.ini" \
    KLEMORA_BROWSER=true QT_QPA_PLATFORM=offscreen "$prefix/bin/klemora" >gui.out 2>&1 &
  app=$!
  for _ in $(seq 600); do
    grep -q "Main window menus:" "$log" 2>/dev/null && break
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
  done
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  app=""
  [ -f "$log" ] || fail "klemora wrote no log: $(cat gui.out)"
  grep -qF "Program folder: $share" "$log" || fail "klemora used another program folder: $(cat "$log")"
  grep -qF "Main window menus: File | Edit | View | Additional functions | Help" "$log" ||
    fail "klemora did not show the English menus: $(cat "$log")"
fi

leaked=$(find "$prefix" -name Klemora.ini)
[ -z "$leaked" ] || fail "a settings file was written into the prefix: $leaked"
echo "install_prefix: OK ($prefix)"
