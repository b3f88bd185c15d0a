#!/usr/bin/env bash
# Starts the window on the bundled sample, as the host CAD would: the sample
# exchange file is copied into the program folder (the executable's folder) first.
# After the window closes, prints what was handed back in JWC_TEMP.TXT.
#   BUILD_DIR   build folder (default build)
#   SAMPLE      exchange file to start with (default samples/JWC_TEMP.TXT)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
SAMPLE=${SAMPLE:-samples/JWC_TEMP.TXT}
if [[ ! -x "$BUILD_DIR/bin/veldra" ]]; then
    [[ -f "$BUILD_DIR/build.ninja" ]] || BUILD_DIR="$BUILD_DIR" bash scripts/build.sh
    cmake --build "$BUILD_DIR" --target veldra
fi
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "run-window.sh: no display; start it under a desktop or xvfb-run" >&2
    exit 2
fi
cp "$SAMPLE" "$BUILD_DIR/bin/JWC_TEMP.TXT"
echo "Texture to try: $(pwd)/samples/texture.png"
status=0
"$BUILD_DIR/bin/veldra" "$@" || status=$?
echo "--- handed back in $BUILD_DIR/bin/JWC_TEMP.TXT:"
cat "$BUILD_DIR/bin/JWC_TEMP.TXT"
exit "$status"
