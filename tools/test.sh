#!/usr/bin/env bash
# Builds Velmora with its tests and runs them all.
#   bash tools/test.sh                       plain build in build/
#   bash tools/test.sh --sanitize address    AddressSanitizer + UBSan in build-asan/
#   bash tools/test.sh --sanitize thread     ThreadSanitizer in build-tsan/
#   bash tools/test.sh --qt 6                against Qt 6, in build-qt6/ (with a sanitizer: build-asan-qt6/ ...)
# (VELMORA_SANITIZE=address|thread and VELMORA_QT=5|6 in the environment do the same.)
# Further arguments go to ctest.
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
mode=${VELMORA_SANITIZE:-}
qt=${VELMORA_QT:-5}
while [ $# -gt 0 ]; do
    case "$1" in
        --sanitize) mode=${2:?--sanitize needs address or thread}; shift 2 ;;
        --qt)       qt=${2:?--qt needs 5 or 6}; shift 2 ;;
        *)          break ;;
    esac
done
case "$mode" in
    "")      dir=build ;;
    address) dir=build-asan ;;
    thread)  dir=build-tsan ;;
    *)       echo "unknown sanitizer: $mode (address or thread)" >&2; exit 2 ;;
esac
case "$qt" in
    5) ;;
    6) dir=$dir-qt6 ;;
    *) echo "unknown Qt version: $qt (5 or 6)" >&2; exit 2 ;;
esac
. "$VELMORA_TOP/tools/deps.sh"
mapfile -t packages < <(velmora_build_packages "$qt")
velmora_deps "${packages[@]}"
# Qt is not instrumented, so TSan cannot see the ordering Qt's own mutexes give to queued
# calls across QThreads and to QThread::wait(): tests whose objects live in a QThread
# (the window, the log thread, the link tests driving a link in a QThread) drown in such
# reports. Under TSan only the SD job test runs (link in the test thread, box in a
# std::thread), and only it is built, unless VELMORA_TSAN_ALL=1.
only=()
if [ "$mode" = thread ] && [ -z "${VELMORA_TSAN_ALL:-}" ]; then
    only=(tst_sdjobs)
fi
# The benchmarks run no test: only the plain Qt 6 build compiles them (CI runs
# it), so that the README's test command builds no more than it tests.
# tools/bench.sh builds and runs them in a Release tree of their own.
bench=OFF
[ -z "$mode" ] && [ "$qt" = 6 ] && bench=ON
cmake -S "$VELMORA_TOP" -B "$VELMORA_TOP/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE="$mode" \
    -DVELMORA_QT="$qt" -DVELMORA_BENCH=$bench >/dev/null
targets=()
for t in "${only[@]}"; do targets+=(--target "$t"); done
cmake --build "$VELMORA_TOP/$dir" -j"$(nproc)" "${targets[@]}"
cd "$VELMORA_TOP/$dir"
# Any sanitizer report ends the process with a failing code, so the test fails.
export ASAN_OPTIONS="halt_on_error=1:exitcode=23:fast_unwind_on_malloc=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=24"
export LSAN_OPTIONS="suppressions=$VELMORA_TOP/tools/lsan.supp:print_suppressions=0:exitcode=23"
export TSAN_OPTIONS="halt_on_error=1:exitcode=66:second_deadlock_stack=1:suppressions=$VELMORA_TOP/tools/tsan.supp:print_suppressions=0"
select=()
[ ${#only[@]} -gt 0 ] && select=(-R "^($(IFS='|'; echo "${only[*]}"))(_[0-9]+of[0-9]+)?\$")
# The tests mostly wait on the boxes' windows, so four times as many run as
# there are cores; twice as many under a sanitizer, which costs CPU.
per_core=4
[ -n "$mode" ] && per_core=2
QT_QPA_PLATFORM=offscreen ctest -j"$(( $(nproc) * per_core ))" --output-on-failure "${select[@]}" "$@"
