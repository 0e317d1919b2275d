#!/usr/bin/env bash
# Builds the Debian package: a Release build of the two programs in
# build-package/ (or, with --build-dir DIR, in a folder already configured
# with the same settings) for the prefix /usr with Debian's hardening flags,
# then cpack. Leaves in out/package/ the .deb, its file list (files.txt) and
# lintian's report (lintian.txt); fails when lintian reports an error.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-package"
out="$root/out/package"
reuse=""
if [ "${1:-}" = "--build-dir" ]; then
  build="$(cd "$2" && pwd)"
  reuse=1
fi
source "$root/scripts/package-flags.sh"

if [ -n "$reuse" ]; then
  # A folder built and tested with the package's settings (.ci/run): the
  # same settings again change nothing, so nothing is compiled twice.
  if ! grep -q '^CMAKE_CXX_FLAGS:STRING=.*_FORTIFY_SOURCE' "$build/CMakeCache.txt" 2>/dev/null; then
    echo "$build was not first configured with the package's flags (scripts/package-flags.sh)" >&2
    exit 1
  fi
  cmake -S "$root" -B "$build" "${package_cmake_args[@]}" >/dev/null
else
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$root" -B "$build" -G Ninja "${package_cmake_args[@]}" -DKLEMORA_BENCH=OFF "${launcher[@]}" >/dev/null
fi
# Only what the package holds.
cmake --build "$build" -j"$(nproc)" --target klemora klemora-cli klemora_runtime_files klemora_man_pages \
  klemora_debian_changelog
(cd "$build" && cpack -G DEB)

rm -rf "$out"
mkdir -p "$out"
cp "$build"/klemora_*.deb "$out/"
deb=$(ls "$out"/klemora_*.deb)
dpkg-deb -c "$deb" >"$out/files.txt"
lintian --tag-display-limit 0 "$deb" >"$out/lintian.txt" 2>&1 || true
cat "$out/lintian.txt"
echo "package: $deb"
if grep -q '^E:' "$out/lintian.txt"; then
  echo "lintian reports errors" >&2
  exit 1
fi
