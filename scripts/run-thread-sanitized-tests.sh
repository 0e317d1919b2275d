#!/usr/bin/env bash
# The tests of runs that cross threads (a Stop from another thread, capture
# on its own thread, logs and strings read from several threads, batches of
# reads shared with a helper thread) under ThreadSanitizer, in a build
# folder of their own. Only the test programs that hold them are built, to
# keep CI short.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-tsan"
# One build folder for the core's test programs and the two GUI ones (the
# stripe pictures' loader hands pictures from its workers to the Qt thread),
# so the core libraries are compiled once.
targets=(detect_tests output_tests output_writer_tests camera_capture_test app_tests media_grab_test avi_tests
  gui_thumbnail_loader_test gui_film_strip_view_test)
pattern='RunCancel|Thread|StringTable.ReferencesStayValid|BatchReads|gui_thumbnail_loader|gui_film_strip_view'
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DKLEMORA_TSAN=ON -DKLEMORA_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan.supp"
ctest --test-dir "$build" -j"$(nproc)" --output-on-failure --timeout 1800 -R "$pattern" --no-tests=error
