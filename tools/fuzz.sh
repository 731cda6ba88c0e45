#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz and runs each of
# them; fails on any crash, sanitizer report, hang or broken invariant.
# Usage: tools/fuzz.sh [seconds]   (total time, shared by the targets; default 60)
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
. "$VELMORA_TOP/tools/deps.sh"
total=${1:-60}
case $total in ''|*[!0-9]*) echo "usage: $0 [seconds]" >&2; exit 2 ;; esac

velmora_deps "${VELMORA_BUILD_PACKAGES[@]}" clang libclang-rt-14-dev

targets=(filetype replies telnet)
build=$VELMORA_TOP/build-fuzz
CC=clang CXX=clang++ cmake -S "$VELMORA_TOP" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}" >/dev/null

per=$(( total / ${#targets[@]} ))
[ "$per" -ge 1 ] || per=1
failed=0
for t in "${targets[@]}"; do
    # The corpus grows in the build tree from run to run; the committed
    # seeds are only read.
    work=$build/fuzz-run/$t
    mkdir -p "$work/corpus"
    rm -f "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*
    dict=()
    [ -f "$VELMORA_TOP/tests/fuzz/$t.dict" ] && dict=(-dict="$VELMORA_TOP/tests/fuzz/$t.dict")
    echo "== fuzz_$t: $per s"
    rc=0
    (cd "$work" && "$build/tests/fuzz_$t" -max_total_time="$per" -timeout=10 -print_final_stats=1 "${dict[@]}" \
        -artifact_prefix="$work/" "$work/corpus" "$VELMORA_TOP/tests/fuzz/corpus/$t") \
        >"$work/log" 2>&1 || rc=$?
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' \
        "$work/log" | sed 's/^/   /' || true
    if [ "$rc" -ne 0 ] || ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* >/dev/null 2>&1; then
        echo "fuzz_$t FAILED (exit $rc); its report:"
        grep -v -E '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse)' "$work/log" | tail -60
        ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* 2>/dev/null || true
        failed=$((failed + 1))
    fi
done
passed=$(( ${#targets[@]} - failed ))
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
