#!/usr/bin/env bash
# Under Xvfb with the openbox window manager: a window closed at a place comes back
# there run after run (no creeping by the frame), and absurd saved bounds open a
# window inside the screen. Exits 77 (skipped) when a tool is missing.
#   window_position.sh PATH/TO/veldra
set -uo pipefail
VELDRA=$1
for tool in Xvfb openbox xdotool wmctrl xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: no $tool"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "SKIPPED: Xvfb did not start"; exit 77; }
export DISPLAY=:$(cat "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
wmctrl -m >/dev/null 2>&1 || { echo "SKIPPED: openbox did not start"; exit 77; }

export VELDRA_PROGRAM_DIR=$work QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work
failed=0

# The frame's origin on the root window (device pixels): the window manager's frame
# around the client window.
frame_of() {
    local parent info
    parent=$(xwininfo -id "$1" -children | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    info=$(xwininfo -id "$parent")
    echo "$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info") $(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")"
}

# Opens the window, prints the frame's origin and the client size as the X server
# has them, closes it by its close box, prints the saved bounds.
run_once() {
    "$VELDRA" 2>/dev/null &
    local pid=$! id
    id=$(timeout 20 xdotool search --sync --onlyvisible --name '^Veldra$' | head -1)
    [[ -n $id ]] || { echo "no window"; kill "$pid"; return 1; }
    sleep 1  # the window manager's placement and the frame's correction
    echo "frame $(frame_of "$id" | tr ' ' ',')"
    wmctrl -i -c "$id"
    timeout 20 tail --pid="$pid" -f /dev/null || { kill "$pid"; return 1; }
    echo "saved $(head -4 "$work/veldra.dat" | tr -d '\r' | paste -sd' ')"
}

expect() {
    if [[ $1 != "$2" ]]; then
        echo "FAIL ($3): got '$1', expected '$2'"
        failed=1
    fi
}

printf '100\r\n150\r\n600\r\n400\r\n' >"$work/veldra.dat"
for run in 1 2 3; do
    out=$(run_once)
    echo "run $run: $out"
    expect "$out" $'frame 100,150\nsaved 100 150 600 400' "run $run"
done

printf '2147483647\r\n2147483647\r\n2147483647\r\n2147483647\r\n' >"$work/veldra.dat"
out=$(run_once)
echo "huge: $out"
read -r left top width height < <(sed -n 's/^saved //p' <<<"$out")
if ((width > 1024 || height > 768 || left < 0 || top < 0 || left + width > 1024 || top + height > 768)); then
    echo "FAIL (huge): saved $left $top $width $height on a 1024x768 screen"
    failed=1
fi
# Scaled (QT_SCALE_FACTOR): the X server counts device pixels, the settings file
# logical ones. Each round: the frame must stand on the device pixel of the saved
# position, the window is dragged by the window manager (windowmove) and closed by
# Alt+F4; the saved position must be the frame's, and the next round must find the
# frame there again. The moves keep the window on the screen, which a restore would
# otherwise pull it back onto.

# Half away from zero, like the program: device pixels to logical ones and back.
to_logical() { awk -v d="$1" -v s="$2" 'BEGIN { v = d / s; printf "%d", v < 0 ? -int(-v + 0.5) : int(v + 0.5) }'; }
to_device() { awk -v l="$1" -v s="$2" 'BEGIN { v = l * s; printf "%d", v < 0 ? -int(-v + 0.5) : int(v + 0.5) }'; }
saved_origin() { head -2 "$work/veldra.dat" | tr -d '\r' | paste -sd' '; }
# open_scaled SCALE: starts the window, waits for it, prints the frame's device origin.
open_scaled() {
    QT_SCALE_FACTOR=$1 "$VELDRA" 2>/dev/null &
    pid=$!
    win=$(timeout 20 xdotool search --sync --onlyvisible --name '^Veldra$' | head -1)
    [[ -n $win ]] || { echo "no window"; kill "$pid"; return 1; }
    sleep 1
}
# A key sent while the window manager is still busy with the move may reach no window
# (seen on a loaded machine): activate and press again, three times at most.
close_by_keys() {
    local try
    for try in 1 2 3; do
        xdotool windowactivate --sync "$win" 2>/dev/null
        xdotool key alt+F4
        timeout 7 tail --pid="$pid" -f /dev/null && return 0
    done
    echo "FAIL: Alt+F4 did not close"
    kill "$pid"
    failed=1
}
for scale in 1 1.5 2; do
    printf '20\r\n30\r\n475\r\n250\r\n' >"$work/veldra.dat"
    moves=("11 33" "47 58" "73 101")
    for round in 0 1 2 3; do
        open_scaled "$scale" || { failed=1; break; }
        read -r left top < <(saved_origin)
        read -r fx fy < <(frame_of "$win")
        want="$(to_device "$left" "$scale") $(to_device "$top" "$scale")"
        echo "scale $scale round $round: saved $left $top, frame at $fx $fy (device)"
        expect "$fx $fy" "$want" "scale $scale round $round: frame of the saved $left $top"
        if ((round < 3)); then
            # The client area goes there; the frame follows with its margin.
            xdotool windowmove --sync "$win" ${moves[round]} 2>/dev/null
            sleep 0.5
            read -r fx fy < <(frame_of "$win")
        fi
        close_by_keys
        expect "$(saved_origin)" "$(to_logical "$fx" "$scale") $(to_logical "$fy" "$scale")" \
            "scale $scale round $round: saved after the frame at $fx $fy"
    done
done

# A title bar off every screen (the device pixels of a scaled window once saved as
# logical ones) comes back onto the screen, and is saved so.
for origin in "-322 40" "-2000 -900" "5000 3000"; do
    printf '%s\r\n%s\r\n475\r\n250\r\n' $origin >"$work/veldra.dat"
    open_scaled 2 || { failed=1; continue; }
    read -r fx fy < <(frame_of "$win")
    close_by_keys
    read -r left top < <(saved_origin)
    echo "off the screen at $origin: frame at $fx $fy (device), saved $left $top"
    if ((fx < 0 || fy < 0 || fx >= 1024 || fy + 20 > 768 || left < 0 || top < 0)); then
        echo "FAIL (off the screen at $origin): frame at $fx $fy, saved $left $top"
        failed=1
    fi
done
exit $failed
