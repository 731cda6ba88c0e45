#!/usr/bin/env bash
# Runs the whole suite N times plain and N times under ASan+UBSan while two
# busy loops keep both cores loaded, then prints pass/fail counts and times.
# A test that depends on how fast the machine runs or how its reads are
# split shows up here.
#   bash tools/stress.sh [runs]        (default 5)
set -uo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
case $runs in ''|*[!0-9]*) echo "usage: $0 [runs]" >&2; exit 2 ;; esac

# Build first, without the load, so that only the runs are measured.
bash "$VELMORA_TOP/tools/test.sh" -N >/dev/null || exit 1
bash "$VELMORA_TOP/tools/test.sh" --sanitize address -N >/dev/null || exit 1

load=()
for _ in 1 2; do
    yes >/dev/null &
    load+=($!)
done
stop_load() { for pid in "${load[@]}"; do kill "$pid" 2>/dev/null; done; }
trap stop_load EXIT

declare -A passed failed
logdir=$(mktemp -d)
for mode in plain address; do
    passed[$mode]=0
    failed[$mode]=0
    for i in $(seq 1 "$runs"); do
        start=$SECONDS
        args=()
        [ "$mode" = address ] && args=(--sanitize address)
        if bash "$VELMORA_TOP/tools/test.sh" "${args[@]}" >"$logdir/$mode-$i.log" 2>&1; then
            passed[$mode]=$((passed[$mode] + 1))
            verdict=passed
        else
            failed[$mode]=$((failed[$mode] + 1))
            verdict="FAILED ($logdir/$mode-$i.log)"
            grep -E '\*\*\*Failed|Timeout' "$logdir/$mode-$i.log" | sed 's/^/    /'
        fi
        echo "$mode run $i: $verdict in $((SECONDS - start)) s"
    done
done
stop_load
trap - EXIT
echo "plain: ${passed[plain]} passed, ${failed[plain]} failed"
echo "address: ${passed[address]} passed, ${failed[address]} failed"
[ "${failed[plain]}" -eq 0 ] && [ "${failed[address]}" -eq 0 ]
