#!/usr/bin/env bash
# Builds Velmora with its tests and runs them all.
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
. "$VELMORA_TOP/tools/deps.sh"
velmora_deps "${VELMORA_BUILD_PACKAGES[@]}"
velmora_build build
cd "$VELMORA_TOP/build"
QT_QPA_PLATFORM=offscreen ctest -j"$(nproc)" --output-on-failure "$@"
