#!/usr/bin/env bash
# Builds the benchmarks (optimised) and prints their figures as one table.
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
. "$VELMORA_TOP/tools/deps.sh"
velmora_deps "${VELMORA_BUILD_PACKAGES[@]}"
velmora_build "${VELMORA_BENCH_DIR:-build-bench}" -DCMAKE_BUILD_TYPE=Release >/dev/null
b=$VELMORA_TOP/${VELMORA_BENCH_DIR:-build-bench}/bench
export QT_QPA_PLATFORM=offscreen
row() { # name, program...
    local name=$1; shift
    local out
    out=$("$@" 2>/dev/null | tr '\n' ' ' | sed 's/ *$//') || out="FAILED: $out"
    printf '| %s | %s |\n' "$name" "$out"
}
echo "| measure | figures |"
echo "|---|---|"
row "HD link: CPU while waiting, latency, file throughput" "$b/bench_hd"
row "SD link: CPU during the 30 s finish wait" "$b/bench_sdidle"
row "SD link: reaction latency" "$b/bench_sdlatency"
row "SD update: wall time against the pacing" "$b/bench_sdpacing"
row "start-up to the shown window" "$b/bench_startup"
row "peak memory of a 400 KB list download (HD, SD)" "$b/bench_listmemory"
row "batch run: 8 boxes against 1, CPU of waiting link threads" "$b/bench_ports"
row "network ports: rfc2217 against pty; 16 boxes on ptys, socket://, rfc2217://" "$b/bench_network"
row "bench window: 16 rows on socket:// against one, CPU per box, event-loop lateness" "$b/bench_benchrows"
