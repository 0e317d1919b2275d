#!/usr/bin/env bash
# The layering check on a copy of the tree: every kind of violation planted
# on its own makes it fail with its message; what the layers allow passes.
# Usage: check_layering_test.sh SOURCE_ROOT
set -euo pipefail
src=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
tree="$tmp/tree"
mkdir -p "$tree"
(cd "$src" && find app scene avi media detect output camera sample cli gui bench scripts \
    \( -name '*.h' -o -name '*.cpp' -o -name 'check-layering.sh' \) -print0 2>/dev/null |
  tar --null -cf - -T -) | (cd "$tree" && tar -xf -)
check="$tree/scripts/check-layering.sh"
failures=0

run_with() {  # FILE TEXT: the check's output with TEXT planted as FILE; its status in $rc
  mkdir -p "$tree/$(dirname "$1")"
  printf '%s\n' "$2" >"$tree/$1"
  rc=0
  out=$(bash "$check" "$tree" 2>&1) || rc=$?
  rm -f "$tree/$1"
}

expect_failure() {  # FILE TEXT MESSAGE
  run_with "$1" "$2"
  if [ "$rc" -eq 0 ] || ! grep -qF -- "$3" <<<"$out"; then
    echo "FAIL: '$2' in $1 should fail with '$3' (status $rc): $out"; failures=$((failures + 1))
  fi
}

expect_pass() {  # FILE TEXT
  run_with "$1" "$2"
  if [ "$rc" -ne 0 ]; then echo "FAIL: '$2' in $1 should pass: $out"; failures=$((failures + 1)); fi
}

expect_pass app/planted.cpp '#include "app/ui.h"'
[ "$failures" -eq 0 ] || { echo "the copied tree does not pass"; exit 1; }

expect_failure app/planted.cpp '#include <QString>' 'Qt outside gui/'
expect_failure camera/planted.h '#include <QtCore/QThread>' 'Qt outside gui/'
expect_failure cli/planted.cpp '#include <QWidget>' 'Qt outside gui/'
expect_failure avi/planted.cpp '#include "media/probe_facts.h"' 'avi/planted.cpp includes media/'
expect_failure detect/planted.cpp '#include "output/name_template.h"' 'detect/planted.cpp includes output/'
expect_failure media/planted.cpp '#include "sample/dv_sample.h"' 'media/planted.cpp includes sample/'
expect_failure scene/planted.cpp '#include "cli/terminal_ui.h"' 'scene/planted.cpp includes cli/'
expect_failure output/planted.cpp '#include "gui/about_dialog.h"' 'output/planted.cpp includes gui/'
expect_failure gui/planted.cpp '#include "cli/terminal_ui.h"' 'gui/planted.cpp includes cli/'
expect_failure cli/planted.cpp '#include "gui/about_dialog.h"' 'cli/planted.cpp includes gui/'
expect_failure cli/planted.cpp '#include "tests/fixtures/dv_fixture.h"' 'Product code includes the tests'
expect_failure sample/planted.cpp '#include "support/temp_dir.h"' 'Product code includes the tests'
expect_failure gui/planted.cpp '#include "fixtures/scene_clip.h"' 'Product code includes the tests'
expect_failure output/planted.cpp '    ui.resetCancel();' 'Core code resets the Stop'
expect_failure camera/planted.cpp '    m_ui.cancelToken().reset();' 'Core code resets the Stop'

expect_pass cli/planted.cpp '#include "sample/dv_sample.h"
#include "camera/camera_io.h"
    ui.resetCancel();'
expect_pass gui/planted.cpp '#include <QWidget>
#include "output/write_run.h"
    ui().cancelToken().reset();'
expect_pass bench/planted.cpp '#include "tests/fixtures/dv_fixture.h"
#include "cli/terminal_ui.h"
#include "gui/about_dialog.h"'
expect_pass output/planted.cpp '// the user side calls resetCancel() before a run'

if [ "$failures" -ne 0 ]; then echo "$failures case(s) failed"; exit 1; fi
echo "every planted violation failed the check"
