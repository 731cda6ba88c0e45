#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb, against the simulated HD box:
#   tools/screenshot.sh [output.png] [language code] [window|boxinfo]
# "boxinfo" opens Help > Box information... and shows the box's answers.
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
. "$VELMORA_TOP/tools/deps.sh"
velmora_deps "${VELMORA_BUILD_PACKAGES[@]}" xvfb xauth imagemagick xdotool
velmora_build build
out=$(realpath -m "${1:-$VELMORA_TOP/docs/window.png}")
lang=${2:-en}
shot=${3:-window}
mkdir -p "$(dirname "$out")"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
printf '[Language]\nLanguage=%s\n[Velmora]\nPosition=@Point(0 0)\n' "$lang" > "$work/settings.ini"
Xvfb :87 -screen 0 640x400x24 >/dev/null 2>&1 &
sleep 1
coproc SIMBOX { exec "$VELMORA_TOP/build/tools/velmora-hdbox"; }
read -r device <&"${SIMBOX[0]}"
(cd "$work" && DISPLAY=:87 QT_QPA_PLATFORM=xcb "$VELMORA_TOP/build/app/velmora" -p "$device" -f update.app 2>/dev/null) &
sleep 3
if [ "$shot" = boxinfo ]; then
    # The Help menu, then its last entry; the dialog opens at the window's top.
    DISPLAY=:87 xdotool mousemove 153 10 click 1
    sleep 1
    DISPLAY=:87 xdotool mousemove 170 85 click 1
    sleep 6
    DISPLAY=:87 import -window root -crop 282x118+89+0 "$out"
else
    DISPLAY=:87 import -window root -crop 400x161+0+0 "$out"
fi
echo "wrote $out"
