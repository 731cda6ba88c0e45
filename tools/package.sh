#!/usr/bin/env bash
# Builds the Debian package: a Release build with Debian's hardening flags in
# build-pkg/ (programs only), packed by cpack; checks it with lintian and
# prints the .deb's path on the last line.
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
. "$VELMORA_TOP/tools/deps.sh"
velmora_deps "${VELMORA_BUILD_PACKAGES[@]}" lintian
build=$VELMORA_TOP/build-pkg
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$VELMORA_TOP" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/velmora_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/velmora_*.deb)
# Errors fail the build; warnings and notes are shown.
lintian --fail-on error "$deb"
echo "$deb"
