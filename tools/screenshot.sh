#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb, against the simulated HD box:
#   tools/screenshot.sh [output.png] [language code] [window|boxinfo|failed|stop]
# "boxinfo" opens Help > Box information... and shows the box's answers.
# "failed" runs an HD update against a box that never answers and shows the
# window once the error box is closed: the failed job's result in words.
# "stop" presses Esc while an update file goes out (at the line's own rate)
# and shows the question that Stop asks then.
set -euo pipefail
VELMORA_TOP=$(cd "$(dirname "$0")/.." && pwd)
. "$VELMORA_TOP/tools/deps.sh"
velmora_deps "${VELMORA_BUILD_PACKAGES[@]}" xvfb xauth imagemagick xdotool
out=$(realpath -m "${1:-$VELMORA_TOP/docs/window.png}")
lang=${2:-en}
shot=${3:-window}
# Only the two programs that the shot runs.
cmake -S "$VELMORA_TOP" -B "$VELMORA_TOP/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$VELMORA_TOP/build" -j"$(nproc)" --target velmora velmora-hdbox
mkdir -p "$(dirname "$out")"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
printf '[Language]\nLanguage=%s\n[Velmora]\nPosition=@Point(0 0)\n' "$lang" > "$work/settings.ini"
export DISPLAY=:87
Xvfb :87 -screen 0 640x400x24 >/dev/null 2>&1 &
sleep 1
box=()
job=(-f update.app)
case $shot in
failed)
    box=(--silent)
    job=(-t UpdateHD -f sample.app -s) ;;
stop)
    box=(--line-rate --no-fin)
    job=(-t UpdateHD -f sample.app -s) ;;
esac
"$VELMORA_TOP/build/tools/velmora-hdbox" --make-samples "$work"
coproc SIMBOX { exec "$VELMORA_TOP/build/tools/velmora-hdbox" "${box[@]}"; }
read -r device <&"${SIMBOX[0]}"
(cd "$work" && QT_QPA_PLATFORM=xcb "$VELMORA_TOP/build/app/velmora" -p "$device" "${job[@]}" 2>/dev/null) &
# The window is up; a stop is pressed while the file still goes out.
[ "$shot" = stop ] && sleep 1.5 || sleep 3
case $shot in
boxinfo)
    # The Help menu, then its last entry; the dialog opens at the window's top.
    xdotool mousemove 153 10 click 1
    sleep 1
    xdotool mousemove 170 85 click 1
    sleep 6
    import -window root -crop 282x118+89+0 "$out" ;;
failed)
    # The restart's two seconds have passed: its error box is up. Closed,
    # the window keeps the result.
    xdotool key Return
    sleep 1
    import -window "$(xdotool search --name '^Velmora$' | head -1)" "$out" ;;
stop)
    # The 64 KB file takes over five seconds at the line's rate: Stop asks.
    xdotool mousemove 250 85 click 1
    sleep 1
    import -window root -trim "$out" ;;
*)
    import -window root -crop 400x161+0+0 "$out" ;;
esac
echo "wrote $out"
