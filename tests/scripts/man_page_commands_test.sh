#!/usr/bin/env bash
# The manual page of klemora-cli cannot fall behind the program: every command
# that `klemora-cli --help` lists has a section of its own, and every option of
# the program and of each command (and of each camera action) is described.
# Usage: man_page_commands_test.sh KLEMORA_CLI MAN_PAGE
set -euo pipefail
cli=$1
page=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export KLEMORA_INI="$tmp/Klemora.ini"  # never the user's settings
# One long line per paragraph, no hyphenation, plain ASCII.
groff -man -Tascii -rLL=300n -rHY=0 -P-c -P-b -P-o -P-u "$page" >"$tmp/page.txt"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

commands_of() {  # the names under "Subcommands:" of a --help text
  awk '/^Subcommands:/ { listing = 1; next } listing && NF { print $1 }'
}
options_of() {  # the long options a --help text lists, without --help itself
  { grep -E -- '^ +-' || true; } | sed -E 's/^ +//; s/ .*//' | tr ',' '\n' | grep -E -- '^--' |
    grep -vx -- '--help' || true
}
section_of() {  # the text of the page's subsection of a command
  awk -v name="$1" '/^   [^ ]/ { inside = ($1 == name) } inside' "$tmp/page.txt"
}
described() {  # OPTION TEXT: a line of TEXT that starts with an option names OPTION
  grep -E -- '^ +-' <<<"$2" | grep -qE -- "(^|[ ,])$1([ ,=]|$)"
}

"$cli" --help >"$tmp/help.txt"
for option in $(options_of <"$tmp/help.txt"); do
  described "$option" "$(cat "$tmp/page.txt")" || fail "global option $option is not described"
done
commands=$(commands_of <"$tmp/help.txt")
[ -n "$commands" ] || fail "klemora-cli --help lists no commands"
for command in $commands; do
  section=$(section_of "$command")
  if [ -z "$section" ]; then
    fail "command $command has no section"
    continue
  fi
  "$cli" "$command" --help >"$tmp/command.txt"
  for option in $(options_of <"$tmp/command.txt"); do
    described "$option" "$section" || fail "option $option of $command is not described"
  done
  for action in $(commands_of <"$tmp/command.txt"); do
    grep -qE -- "(^|[ ,])$action([ ,]|$)" <<<"$section" || fail "$command $action is not described"
    for option in $(set -o pipefail; "$cli" "$command" "$action" --help | options_of); do
      described "$option" "$section" || fail "option $option of $command $action is not described"
    done
  done
done
[ "$failures" -eq 0 ] && echo "every command and option of klemora-cli is in $(basename "$page")"
exit $((failures > 0))
