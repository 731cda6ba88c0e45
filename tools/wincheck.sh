#!/usr/bin/env bash
# Builds the Windows side of the platform layer and its test (tests/platform.cpp)
# with MinGW-w64 into build-win/, warnings counted as errors, and runs the
# test's rows under Wine: each row's result, then a count. Then builds the
# program for Windows (batch mode, against the static Qt that
# tools/qt-windows.sh builds once into its cache) into build-win/program and
# runs tst_wine, which drives it under Wine against the simulated boxes.
# Exits non-zero on any failure. The first run makes the Wine prefix
# build-win/wineprefix (about 700 MB); COM5 is a pseudo-terminal pair's end,
# made by socat.
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
. "$VELMORA_TOP/tools/deps.sh"
velmora_deps cmake make socat "${VELMORA_WINDOWS_PACKAGES[@]}"
out=$VELMORA_TOP/build-win
port=COM5

start=$SECONDS
# The posix thread model: std::thread and std::mutex need it. Linked
# statically, so that Wine needs none of MinGW's DLLs.
cmake -S "$VELMORA_TOP/platform" -B "$out" -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_CXX_COMPILER=x86_64-w64-mingw32-g++-posix -DCMAKE_CXX_FLAGS=-Werror \
    -DCMAKE_EXE_LINKER_FLAGS=-static -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j"$(nproc)"
echo "built in $((SECONDS - start)) s"

# Wine's own prefix, quiet; no display: the test is a console program. Mono
# and Gecko are not wanted.
export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$WINEPREFIX" ]; then
    start=$SECONDS
    wineboot --init >"$out/wineboot.log" 2>&1
    wineserver -w
    echo "Wine prefix made in $((SECONDS - start)) s"
fi

# The port: Wine serves a serial port that its registry names at the start
# of a session, so the session is let end after the entry is written.
far=
cleanup() { [ -n "$far" ] && kill "$far" 2>/dev/null || true; }
trap cleanup EXIT
rm -f "$out/com-near" "$out/com-far"
socat pty,raw,echo=0,link="$out/com-near" pty,raw,echo=0,link="$out/com-far" &
far=$!
for _ in $(seq 50); do [ -e "$out/com-near" ] && break; sleep 0.1; done
wine reg add 'HKLM\Software\Wine\Ports' /v "$port" /t REG_SZ /d "$(readlink -f "$out/com-near")" /f >/dev/null
wineserver -w

# In German, so that the system's words go beyond ASCII.
start=$SECONDS
mkdir -p "$out/run"
set +e
(cd "$out/run" && LC_ALL=de_DE.UTF-8 VELMORA_TEST_PORT=$port VELMORA_TEST_PORT_FAR="Z:$(readlink -f "$out/com-far" | tr / '\\')" wine "$out/tst_platform.exe") | tee "$out/rows.txt"
rc=${PIPESTATUS[0]}
set -e
wineserver -w
count() { grep -c "^$1 " "$out/rows.txt" || true; }
failed=$(count FAIL)
echo "Windows rows under Wine: $(count PASS) passed, $failed failed, $(count SKIP) skipped ($((SECONDS - start)) s)"
platform_ok=true
[ "$rc" -eq 0 ] && [ "$failed" -eq 0 ] || platform_ok=false

# --- the program for Windows, in batch mode against the simulated boxes ---
velmora_deps "${VELMORA_BUILD_PACKAGES[@]}"
bash "$VELMORA_TOP/tools/qt-windows.sh"
start=$SECONDS
cmake -S "$VELMORA_TOP" -B "$out/program" -DCMAKE_TOOLCHAIN_FILE="$VELMORA_TOP/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build "$out/program" -j"$(nproc)"
echo "the program for Windows built in $((SECONDS - start)) s: $(du -h "$out/program/app/velmora.exe" | cut -f1)"
# The test that drives it is a Linux program of the plain build.
cmake -S "$VELMORA_TOP" -B "$VELMORA_TOP/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$VELMORA_TOP/build" -j"$(nproc)" --target tst_wine
start=$SECONDS
set +e
(cd "$out/run" && VELMORA_WINDOWS_PROGRAM=$out/program/app/velmora.exe "$VELMORA_TOP/build/tests/tst_wine")
rc=$?
set -e
wineserver -w
echo "the program for Windows under Wine: exit code $rc ($((SECONDS - start)) s)"
$platform_ok && [ "$rc" -eq 0 ]
