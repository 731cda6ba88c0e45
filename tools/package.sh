#!/usr/bin/env bash
# Builds the Debian package: a Release build with Debian's hardening flags in
# build-pkg/ (programs only), packed by cpack; checks it with lintian and
# prints the .deb's path on the last line. `--qt 6` builds against Qt 6, in
# build-pkg-qt6/.
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
qt=5
[ "${1:-}" = "--qt" ] && qt=${2:?--qt needs 5 or 6}
. "$VELMORA_TOP/tools/deps.sh"
mapfile -t packages < <(velmora_build_packages "$qt")
velmora_deps "${packages[@]}" lintian
build=$VELMORA_TOP/build-pkg
[ "$qt" = 6 ] && build=$build-qt6
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$VELMORA_TOP" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_QT="$qt" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/velmora_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/velmora_*.deb)
# Errors fail the build; warnings and notes are shown.
lintian --fail-on error "$deb"
echo "$deb"
