#!/usr/bin/env bash
# The whole program cross-built for 64-bit Windows (scripts/windows/build.sh) and tried
# under Wine as a Japanese Windows (code page 932, locale 0x411):
#   1. the test programs (core, drawing, window) under Wine;
#   2. veldra-cli.exe fill on the bundled sample and on the host's real exchange files
#      (when ../shared/real-exchange is there), in a folder with a Japanese name, compared
#      byte for byte with the Linux build's pictures and rewritten exchange files;
#   3. the package unpacked into a folder with a Japanese name, its batch file started as
#      the host starts it, the window driven by real key events on Xvfb: a fill and OK
#      must leave the placement line with the Windows path in code page 932.
# Needs build/bin/veldra-cli (scripts/build.sh) for step 2.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${BUILD_WINDOWS_DIR:-build-windows}
mapfile -t built < <(bash scripts/windows/build.sh)
DEPS=${built[0]}
FULL=${built[1]}

# Wine as a Japanese Windows: without the glibc locale Wine cannot open Japanese Unix
# paths. A prefix of our own, quiet, without Mono and Gecko.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf-\?8$'; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEPREFIX=$FULL/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
GCC_RUNTIME=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
export WINEPATH="$(windows_path "$DEPS/bin");$(windows_path "$GCC_RUNTIME");$(windows_path /usr/x86_64-w64-mingw32/lib)"
export QT_PLUGIN_PATH=$(windows_path "$DEPS/plugins")
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    "$WINESERVER" -k 2>/dev/null || true
}
trap cleanup EXIT
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    (unset DISPLAY; "$WINE" wineboot --init >/dev/null 2>&1) || true
    "$WINESERVER" -w
fi

echo "== Windows: test programs under Wine"
(unset DISPLAY WAYLAND_DISPLAY; ctest --test-dir "$FULL" --output-on-failure)

echo "== Windows: veldra-cli.exe fill against the Linux build"
DRIVE_C=$WINEPREFIX/drive_c
JOBS_UNIX=$DRIVE_C/図面/比較
JOBS_WINDOWS='C:\図面\比較'
LINUX_JOBS=$FULL/compare-linux
rm -rf "$JOBS_UNIX" "$LINUX_JOBS"
mkdir -p "$JOBS_UNIX" "$LINUX_JOBS"
cp samples/texture.png "$JOBS_UNIX/texture.png"
inputs=(samples/JWC_TEMP.TXT samples/all_kinds.txt)
[[ -d ../shared/real-exchange ]] && inputs+=(../shared/real-exchange/*.txt)
compared=0
for input in "${inputs[@]}"; do
    name=$(basename "$input" .txt)
    name=${name%.TXT}
    mkdir -p "$JOBS_UNIX/$name" "$LINUX_JOBS/$name"
    cp "$input" "$JOBS_UNIX/$name/JWC_TEMP.TXT"
    cp "$input" "$LINUX_JOBS/$name/JWC_TEMP.TXT"
    set +e
    build/bin/veldra-cli fill --folder "$LINUX_JOBS/$name" --texture samples/texture.png \
        --out "$LINUX_JOBS/$name/floor.bmp" --depth 256 >/dev/null 2>&1
    linux_rc=$?
    (unset DISPLAY; "$WINE" "$FULL/bin/veldra-cli.exe" fill --folder "$JOBS_WINDOWS\\$name" \
        --texture "$JOBS_WINDOWS\\texture.png" --out "$JOBS_WINDOWS\\$name\\floor.bmp" \
        --depth 256 >/dev/null 2>&1)
    windows_rc=$?
    set -e
    [[ $linux_rc == "$windows_rc" ]] ||
        { echo "FAIL $name: exit $windows_rc on Windows, $linux_rc on Linux"; exit 1; }
    if [[ -f $LINUX_JOBS/$name/floor.bmp ]]; then
        cmp "$LINUX_JOBS/$name/floor.bmp" "$JOBS_UNIX/$name/floor.bmp" ||
            { echo "FAIL $name: the pictures differ"; exit 1; }
    fi
    # The placement names the picture by its full path: the folders differ, the rest
    # must not. The Windows line holds the folder in the exchange file's own encoding:
    # code page 932, or UTF-8 for a file the host wrote in UTF-8.
    escape() { printf '%s' "$1" | sed 's/[\\.*^$|]/\\&/g'; }
    folder_utf8=$(escape "$JOBS_WINDOWS\\$name\\")
    folder_932=$(escape "$(printf '%s' "$JOBS_WINDOWS\\$name\\" | iconv -f UTF-8 -t CP932)")
    if ! cmp <(LC_ALL=C sed -e "s|$folder_932|FOLDER/|" -e "s|$folder_utf8|FOLDER/|" \
                   "$JOBS_UNIX/$name/JWC_TEMP.TXT") \
             <(LC_ALL=C sed "s|$LINUX_JOBS/$name/|FOLDER/|" "$LINUX_JOBS/$name/JWC_TEMP.TXT"); then
        echo "FAIL $name: the rewritten exchange files differ"
        exit 1
    fi
    compared=$((compared + 1))
done
echo "$compared exchange files: the same pictures and hand-back on Windows and Linux"

echo "== Windows: the package, its batch file and the window on Xvfb"
bash scripts/windows/window-test.sh "$WINE" "$WINESERVER"
