#!/usr/bin/env bash
# Usage: scripts/fuzz.sh [TARGET [SECONDS]]   (default: reader, 60 s)
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/ and runs one campaign at the lowest
# priority. New findings land in build-fuzz/crash-* ; add each (once fixed) to
# fuzz/corpus/TARGET/.
set -euo pipefail
cd "$(dirname "$0")/.."
TARGET="${1:-reader}"
SECONDS_TO_RUN="${2:-${FUZZ_SECONDS:-60}}"
VELDRA_FUZZ=1 bash scripts/setup.sh
if [[ ! -f build-fuzz/build.ninja ]]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELDRA_FUZZ=ON -DVELDRA_SANITIZE=ON -DVELDRA_BENCH=OFF \
        -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
nice -n 19 cmake --build build-fuzz --target "${TARGET}_fuzzer" -j2
options=(-max_len=65536 -timeout=10 -rss_limit_mb=2048 -max_total_time="$SECONDS_TO_RUN"
    -artifact_prefix="build-fuzz/$TARGET-" -print_final_stats=1)
[[ -f "fuzz/$TARGET.dict" ]] && options+=(-dict="fuzz/$TARGET.dict")
mkdir -p "build-fuzz/corpus/$TARGET"
QT_QPA_PLATFORM=offscreen nice -n 19 "build-fuzz/bin/${TARGET}_fuzzer" \
    "build-fuzz/corpus/$TARGET" "fuzz/corpus/$TARGET" "${options[@]}"
