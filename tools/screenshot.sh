#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb, against the simulated HD box:
#   tools/screenshot.sh [output.png] [language code] [window|boxinfo|failed|stop|bench]
# "boxinfo" opens Help > Box information... and shows the box's answers.
# "failed" runs an HD update against a box that never answers and shows the
# window once the error box is closed: the failed job's result in words.
# "stop" presses Esc while an update file goes out (at the line's own rate)
# and shows the question that Stop asks then.
# "bench" opens the bench with four rows on four simulated boxes and starts
# them all: one still sending at the line's rate, one done, one failed (its
# box silent), one done and waiting for the next box.
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
boxes=()   # the bench shot's simulated boxes, ended however the shot ends

# Four boxes, one per row; the window opens the bench from its menu.
bench_shot() {
    local devices=() flags fd
    "$VELMORA_TOP/build/tools/velmora-hdbox" --make-samples "$work"
    for flags in --line-rate "" --silent ""; do
        exec {fd}< <(exec "$VELMORA_TOP/build/tools/velmora-hdbox" $flags)
        boxes+=($!)
        read -r device <&$fd
        devices+=("$device")
    done
    {
        printf '[Bench]\nRows\\size=4\n'
        for i in 1 2 3 4; do
            printf 'Rows\\%d\\Port=%s\nRows\\%d\\Transfer=UpdateHD\nRows\\%d\\Files=%s\n' \
                "$i" "${devices[$((i - 1))]}" "$i" "$i" "$work/sample.app"
        done
        printf 'Rows\\4\\NextBox=true\nSize=@Size(1900 230)\n'
    } >> "$work/settings.ini"
    (cd "$work" && QT_QPA_PLATFORM=xcb "$VELMORA_TOP/build/app/velmora" 2>/dev/null) &
    sleep 3
    # No window manager gives the window focus: the keys need it.
    xdotool search --name '^Velmora$' windowfocus --sync
    # The menu's key and the bench's title in the window's language.
    local menu=alt+m title='Velmora bench'
    [ "$lang" = de ] && menu=alt+d title='Velmora-Prüfplatz'
    xdotool key "$menu" Up Up Return
    sleep 2
    local bench
    bench=$(xdotool search --name "^$title\$" | head -1)
    xdotool windowmove "$bench" 0 0
    sleep 0.5
    # "Start all" is the first button, top left.
    xdotool mousemove 40 20 click 1
    sleep 4
    import -window "$bench" "$out"
    kill "${boxes[@]}" 2>/dev/null || true
    echo "wrote $out"
}
trap 'kill $(jobs -p) ${boxes[*]:-} 2>/dev/null || true; rm -rf "$work"' EXIT
printf '[Language]\nLanguage=%s\n[Velmora]\nPosition=@Point(0 0)\n' "$lang" > "$work/settings.ini"
export DISPLAY=:87
screen=640x400x24
[ "$shot" = bench ] && screen=1920x420x24
Xvfb :87 -screen 0 $screen >/dev/null 2>&1 &
sleep 1
if [ "$shot" = bench ]; then
    bench_shot
    exit 0
fi
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
