#!/usr/bin/env bash
# Builds Velmora and starts it. Without a USB serial adapter attached it
# starts a simulated box first and points the program at it
# (VELMORA_BOX=hd or sd chooses the family, hd by default).
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
. "$VELMORA_TOP/tools/deps.sh"
velmora_deps "${VELMORA_BUILD_PACKAGES[@]}"
velmora_build build

bin=$VELMORA_TOP/build
args=("$@")
if ! ls /dev/ttyUSB* /dev/ttyACM* >/dev/null 2>&1; then
    box=${VELMORA_BOX:-hd}
    coproc SIMBOX { exec "$bin/tools/velmora-${box}box"; }
    read -r device <&"${SIMBOX[0]}"
    trap 'kill "$SIMBOX_PID" 2>/dev/null || true' EXIT
    echo "No serial adapter found: using the simulated ${box^^} box on $device"
    args=(-p "$device" "${args[@]}")
fi
cd "${VELMORA_WORKDIR:-$VELMORA_TOP}"
"$bin/app/velmora" "${args[@]}"
