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

# Opens the window, prints the frame's origin and the client size as the X server
# has them, closes it by its close box, prints the saved bounds.
run_once() {
    "$VELDRA" 2>/dev/null &
    local pid=$! id
    id=$(timeout 20 xdotool search --sync --onlyvisible --name '^Veldra$' | head -1)
    [[ -n $id ]] || { echo "no window"; kill "$pid"; return 1; }
    sleep 1  # the window manager's placement and the frame's correction
    local frame
    frame=$(xwininfo -id "$(xwininfo -id "$id" -children | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')")
    echo "frame $(sed -n 's/.*Absolute upper-left X: *//p' <<<"$frame"),$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$frame")"
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
exit $failed
