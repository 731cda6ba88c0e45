#!/usr/bin/env bash
# Takes the README's screenshot of the window under Xvfb, against the
# simulated HD box: tools/screenshot.sh [output.png] [language code]
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
. "$VELMORA_TOP/tools/deps.sh"
velmora_deps "${VELMORA_BUILD_PACKAGES[@]}" xvfb xauth imagemagick
velmora_build build
out=$(realpath -m "${1:-$VELMORA_TOP/docs/window.png}")
lang=${2:-en}
mkdir -p "$(dirname "$out")"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
printf '[Language]\nLanguage=%s\n[Velmora]\nPosition=@Point(0 0)\n' "$lang" > "$work/settings.ini"
Xvfb :87 -screen 0 420x240x24 >/dev/null 2>&1 &
sleep 1
coproc SIMBOX { exec "$VELMORA_TOP/build/tools/velmora-hdbox"; }
read -r device <&"${SIMBOX[0]}"
(cd "$work" && DISPLAY=:87 QT_QPA_PLATFORM=xcb "$VELMORA_TOP/build/app/velmora" -p "$device" -f update.app) &
sleep 3
DISPLAY=:87 import -window root -crop 400x161+0+0 "$out"
echo "wrote $out"
