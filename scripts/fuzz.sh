#!/usr/bin/env bash
# Runs one fuzz campaign: scripts/fuzz.sh TARGET [SECONDS]
# Builds TARGET_fuzzer with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/ and fuzzes it for SECONDS (60 by default),
# starting from fuzz/corpus/TARGET and the working corpus build-fuzz/corpus/TARGET,
# with fuzz/TARGET.dict when there is one. Findings land in build-fuzz/crash-* ;
# once fixed, add each to fuzz/corpus/TARGET/ so the normal test run replays it.
# Targets: the names passed to veldra_fuzz_target() in fuzz/CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "usage: $0 TARGET [SECONDS]" >&2
    exit 2
fi
target=$1
seconds=${2:-60}
if [[ ! -d fuzz/corpus/$target ]]; then
    echo "$0: no seed corpus fuzz/corpus/$target (unknown target?)" >&2
    exit 2
fi
VELDRA_FUZZ=1 bash scripts/setup.sh
if [[ ! -f build-fuzz/build.ninja ]]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELDRA_FUZZ=ON -DVELDRA_SANITIZE=ON -DVELDRA_BENCH=OFF \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
nice -n 19 cmake --build build-fuzz --target "${target}_fuzzer" -j"${FUZZ_JOBS:-2}"
mkdir -p "build-fuzz/corpus/$target"
dict=()
[[ -f fuzz/$target.dict ]] && dict=(-dict="fuzz/$target.dict")
# Qt-linked targets need a platform for QImage and the codecs, never a display.
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/veldra-runtime}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
# Metafiles need room for their object tables and records.
max_len=${FUZZ_MAX_LEN:-4096}
[[ $target == wmf || $target == emf ]] && max_len=${FUZZ_MAX_LEN:-65536}
exec nice -n 19 "build-fuzz/bin/${target}_fuzzer" "build-fuzz/corpus/$target" "fuzz/corpus/$target" \
    "${dict[@]}" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
    -max_total_time="$seconds" -artifact_prefix=build-fuzz/ -print_final_stats=1
