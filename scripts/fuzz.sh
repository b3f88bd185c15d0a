#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/ and runs the exchange file reader
# fuzzer (60 s unless FUZZ_SECONDS says otherwise). New findings land in
# build-fuzz/crash-* ; add each (once fixed) to fuzz/corpus/reader/.
set -euo pipefail
cd "$(dirname "$0")/.."
VELDRA_FUZZ=1 bash scripts/setup.sh
SANITIZERS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
if [[ ! -f build-fuzz/build.ninja ]]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELDRA_FUZZ=ON -DVELDRA_BENCH=OFF \
        -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link $SANITIZERS" \
        -DCMAKE_EXE_LINKER_FLAGS="$SANITIZERS"
fi
cmake --build build-fuzz --target reader_fuzzer -j"$(nproc)"
mkdir -p build-fuzz/corpus/reader
build-fuzz/bin/reader_fuzzer build-fuzz/corpus/reader fuzz/corpus/reader \
    -dict=fuzz/reader.dict -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -max_total_time="${FUZZ_SECONDS:-60}" -artifact_prefix=build-fuzz/ -print_final_stats=1
