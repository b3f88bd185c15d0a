#!/usr/bin/env bash
# The package as a user has it: unpacked into a folder with a Japanese name inside the
# Wine prefix (WINEPREFIX, a Japanese locale), the bundled sample written where the
# host writes it, the batch file started as the host starts it, on an Xvfb display of
# our own with a window manager. Real key events fill and press OK; the exchange file
# must then hold the placement line with the Windows path in code page 932.
# Screenshots land beside the package (window-start.png, window-filled.png).
#   window-test.sh WINE WINESERVER
set -euo pipefail
cd "$(dirname "$0")/../.."
WINE=$1
WINESERVER=$2
for tool in Xvfb openbox xdotool import compare; do
    command -v "$tool" >/dev/null || { echo "FAIL: no $tool (scripts/setup.sh installs it)"; exit 1; }
done
ZIP=$(bash scripts/package-windows.sh | tail -1 | cut -d' ' -f1)
OUT=$(dirname "$ZIP")
DRIVE_C=$WINEPREFIX/drive_c
FOLDER=$DRIVE_C/図面
PROGRAM=$FOLDER/ベルドラ
rm -rf "$FOLDER"
mkdir -p "$FOLDER"
/usr/bin/python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
    "$ZIP" "$FOLDER"
mv "$FOLDER/Veldra" "$PROGRAM"
cp samples/JWC_TEMP.TXT "$PROGRAM/JWC_TEMP.TXT"
cp samples/texture.png "$FOLDER/texture.png"
# Settings as a user leaves them: the window's place, the output picture and the texture
# in the drawing's folder (code page 932, CR LF); the rest as on a first start.
printf '%s\r\n' 40 40 900 640 'C:\図面\floor.bmp' 'C:\図面\texture.png' 0 24 3 200 |
    iconv -f UTF-8 -t CP932 >"$PROGRAM/veldra.dat"

pids=()
work=$(mktemp -d)
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# The package stands on its own: nothing of the build's search paths.
(unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM; exec "$WINE" cmd /c 'C:\図面\ベルドラ\veldra.bat') >/dev/null 2>&1 &
host=$!
pids+=($host)
id=$(timeout 120 xdotool search --sync --onlyvisible --name 'Veldra' | head -1) ||
    { echo "FAIL: the window did not open"; exit 1; }
sleep 3
import -window root "$OUT/window-start.png"
xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
sleep 0.5
xdotool key alt+g
# The fill is done when its temporary picture is in the program folder.
for _ in $(seq 60); do compgen -G "$PROGRAM/*.BMP" >/dev/null && break; sleep 0.5; done
sleep 2
import -window root "$OUT/window-filled.png"
xdotool key alt+y
timeout 60 tail --pid="$host" -f /dev/null || { echo "FAIL: the window did not close at OK"; exit 1; }
"$WINESERVER" -w || true

# What the host reads back: one placement line naming the picture by its Windows path.
placement=$(iconv -f CP932 -t UTF-8 "$PROGRAM/JWC_TEMP.TXT")
echo "JWC_TEMP.TXT: $placement"
[[ $placement == 'ch '*'"^@BMC:\図面\floor.bmp,'* ]] ||
    { echo "FAIL: no placement line with the Windows path"; exit 1; }
[[ -s $FOLDER/floor.bmp ]] || { echo "FAIL: no picture at C:\\図面\\floor.bmp"; exit 1; }
# The window showed the drawing, and the fill changed what it showed.
changed=$(compare -metric AE "$OUT/window-start.png" "$OUT/window-filled.png" null: 2>&1 || true)
colours=$(convert "$OUT/window-start.png" -format '%k' info:)
echo "window: $colours colours at the start, $changed pixels changed by the fill"
((colours > 20)) || { echo "FAIL: the window looks empty"; exit 1; }
((${changed%% *} > 1000)) || { echo "FAIL: the fill did not show"; exit 1; }
echo "the package's batch file, the window, a fill and OK work under Wine"
