#!/usr/bin/env bash
# Builds the Debian package: a Release build of the two programs in
# build-package/ for the prefix /usr with Debian's hardening flags, then
# cpack. Leaves in out/package/ the .deb, its file list (files.txt) and
# lintian's report (lintian.txt); fails when lintian reports an error.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-package"
out="$root/out/package"

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Debian's flags (fortify, stack protector, relro) without the debug
# information a stripped package would drop anyway.
export DEB_CFLAGS_MAINT_STRIP=-g DEB_CXXFLAGS_MAINT_STRIP=-g
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CFLAGS CXXFLAGS LDFLAGS

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DKLEMORA_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${launcher[@]}" >/dev/null
# Only what the package holds; the tests are not built here.
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
