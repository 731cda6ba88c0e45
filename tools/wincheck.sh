#!/usr/bin/env bash
# Compiles and links the Windows side of the platform layer and its test with
# MinGW-w64 into build-win/, warnings counted as errors. Nothing runs there:
# the program is for Windows.
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
. "$VELMORA_TOP/tools/deps.sh"
velmora_deps cmake make file "${VELMORA_WINDOWS_PACKAGES[@]}"
cmake -S "$VELMORA_TOP/platform" -B "$VELMORA_TOP/build-win" -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_CXX_COMPILER=x86_64-w64-mingw32-g++ -DCMAKE_CXX_FLAGS=-Werror -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$VELMORA_TOP/build-win" -j"$(nproc)"
file "$VELMORA_TOP/build-win/tst_platform.exe"
