#!/usr/bin/env bash
# Under Xvfb with the openbox window manager, driven by real key and mouse events:
# typed text lands where the caret is, the close box after a fill asks before the
# picture is dropped, OK that cannot copy keeps the window and takes another name,
# and at QT_SCALE_FACTOR=2 the window comes back exactly where it was closed. Exits 77
# (skipped) when a tool is missing.
#   window_trust.sh PATH/TO/veldra SAMPLES_FOLDER
set -uo pipefail
VELDRA=$1
SAMPLES=$2
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
fail() {
    echo "FAIL: $*"
    failed=1
}

# Settings: window at (50, 40), 700 x 700, the output name and the texture given.
settings() {
    printf '50\r\n40\r\n700\r\n700\r\n%s\r\n%s\r\n0\r\n24\r\n3\r\n100\r\n' "$1" "$2" >"$work/veldra.dat"
}
start() {
    cp "$SAMPLES/JWC_TEMP.TXT" "$work/JWC_TEMP.TXT"
    "$VELDRA" 2>/dev/null &
    pid=$!
    win=$(timeout 20 xdotool search --sync --onlyvisible --name '^Veldra$' | head -1)
    [[ -n $win ]] || { fail "no window"; kill "$pid"; return 1; }
    sleep 1
    # The client area's origin and size as the X server has them.
    local info
    info=$(xwininfo -id "$win")
    X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
}
# A click at a point of the client area.
click() {
    xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1
    sleep 0.3
}
# Keys go to the focused window: synthetic events sent to a window are ignored.
key_to_window() {
    xdotool windowactivate --sync "$win" 2>/dev/null
    xdotool key "$@"
}
ended() { timeout "${1:-10}" tail --pid="$pid" -f /dev/null; }
dialog_up() { timeout 10 xdotool search --sync --onlyvisible --name '^rw47_Veldra$' | head -1; }

# 1. Keys go where the caret is: Home and End move the caret, not the view.
settings "$work/plan.bmp" ""
start || exit 1
click $((WIDTH - 178 + 150)) 242  # the output name box (Edit1)
xdotool key --delay 50 End
xdotool type --delay 50 XY
xdotool key --delay 50 Home
xdotool type --delay 50 Z
xdotool key --delay 50 Left Right End
xdotool type --delay 50 Q
click 100 100  # the view takes the keys now
xdotool key --delay 50 End Left Home
wmctrl -i -c "$win"
ended || { fail "window did not close"; kill "$pid"; }
line5=$(sed -n 5p "$work/veldra.dat" | tr -d '\r')
[[ $line5 == "Z$work/plan.bmpXYQ" ]] || fail "typed text went astray: '$line5'"

# 2. The close box after a fill asks; No keeps the window and the picture.
settings "$work/plan.bmp" "$SAMPLES/texture.png"
start || exit 1
key_to_window alt+g
sleep 3
[[ -f $work/rw47_temp.BMP ]] || fail "no fill"
wmctrl -i -c "$win"
box=$(dialog_up)
[[ -n $box ]] || fail "the close box did not ask"
xdotool key Return  # the default is No
sleep 1
kill -0 "$pid" 2>/dev/null || fail "No closed the window"
[[ -f $work/rw47_temp.BMP ]] || fail "No dropped the picture"

# 3. OK that cannot copy keeps the window open and takes another name.
rm -rf "$work/gone"
mkdir -p "$work/gone"
xdotool windowactivate --sync "$win" 2>/dev/null
click $((WIDTH - 178 + 80)) 242
xdotool key ctrl+a
xdotool type --delay 30 "$work/gone/plan.bmp"
key_to_window alt+g
sleep 3
rm -rf "$work/gone"
key_to_window alt+y
box=$(dialog_up)
[[ -n $box ]] || fail "no message when the copy failed"
xdotool key Return
sleep 1
save=$(timeout 10 xdotool search --sync --onlyvisible --class 'veldra' | grep -v "^$win$" | head -1)
kill -0 "$pid" 2>/dev/null || fail "the window closed although the copy failed"
if [[ -n $save ]]; then
    xdotool key ctrl+a
    xdotool type --delay 30 "$work/plan2.bmp"
    xdotool key Return
    sleep 1
fi
xdotool windowactivate --sync "$win" 2>/dev/null
key_to_window alt+y
ended || { fail "OK again did not close"; kill "$pid"; }
grep -q "plan2.bmp" "$work/JWC_TEMP.TXT" || fail "the new name was not handed back: $(cat "$work/JWC_TEMP.TXT")"
[[ -f $work/plan2.bmp ]] || fail "no picture under the new name"

# 9. At QT_SCALE_FACTOR=2 the window comes back where it was closed.
rm -f "$work/plan2.bmp"
# The frame is placed and read in device pixels and converted once each way: the
# saved logical position comes back exactly. (At x = 40 the 475 wide window would
# stick out of the 512 logical pixels of the screen and be moved in to 37.)
printf '20\r\n30\r\n475\r\n250\r\n' >"$work/veldra.dat"
for run in 1 2 3; do
    QT_SCALE_FACTOR=2 "$VELDRA" 2>/dev/null &
    pid=$!
    win=$(timeout 20 xdotool search --sync --onlyvisible --name '^Veldra$' | head -1)
    sleep 1
    wmctrl -i -c "$win"
    ended || { fail "scaled window did not close"; kill "$pid"; }
    read -r left top < <(head -2 "$work/veldra.dat" | tr -d '\r' | paste -sd' ')
    [[ "$left $top" == "20 30" ]] || fail "scaled run $run saved '$left $top', expected '20 30'"
done
exit $failed
