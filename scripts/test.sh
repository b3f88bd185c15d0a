#!/usr/bin/env bash
# Installs what is missing, builds, checks the format, runs clang-tidy over every source
# the build compiles (program, tests, benchmarks, fuzz replays; clean results are cached,
# so only what changed is checked again) and runs the whole test suite: once in the
# normal build, once under AddressSanitizer + UndefinedBehaviorSanitizer with leak
# checking (the asan preset, build-asan/), and the whole program once more cross-built
# for Windows and tried under a Japanese Wine (scripts/test-windows.sh: the test
# programs, veldra-cli.exe against the Linux build byte for byte, the package's batch
# file and the window).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
bash scripts/check-format.sh
bash scripts/clang-tidy.sh
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/veldra-runtime}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
ctest --test-dir build --output-on-failure -j"$(nproc)"

LAUNCHER=()
command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
[[ -f build-asan/build.ninja ]] || cmake --preset asan "${LAUNCHER[@]}"
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan -j"$(nproc)"

bash scripts/test-windows.sh
