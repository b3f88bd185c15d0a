#!/usr/bin/env bash
# Configures (once) with the default preset (warnings are errors) and builds into
# build/ (or BUILD_DIR); executables land in bin/ there. Extra arguments go to the
# first configure.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
if [[ ! -f "$BUILD_DIR/build.ninja" ]]; then
    LAUNCHER=()
    command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake --preset default -B "$BUILD_DIR" "${LAUNCHER[@]}" "$@"
fi
cmake --build "$BUILD_DIR" -j"$(nproc)"
