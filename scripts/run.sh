#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the bundled sample:
# with a display, the window (the sample exchange file copied into the program
# folder first, as the host does); without one, the same fill headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec bash scripts/run-window.sh
fi

# Headless: a program folder of its own, as the host would prepare it.
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/veldra-runtime}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
folder="$(pwd)/build/sample-run"
mkdir -p "$folder"
cp samples/JWC_TEMP.TXT "$folder/JWC_TEMP.TXT"
build/bin/veldra-cli fill --folder "$folder" --texture "$(pwd)/samples/texture.png" \
    --out "$folder/veldra-sample.bmp"
echo "--- handed back to the host in $folder/JWC_TEMP.TXT:"
cat "$folder/JWC_TEMP.TXT"
