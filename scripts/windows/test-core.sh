#!/usr/bin/env bash
# The Qt-free core alone cross-built for 64-bit Windows (without Qt, GMP and MPFR: the
# faces mode reports that it failed) and its tests run under a Japanese Wine; the quick
# check where scripts/test-windows.sh's whole program cannot be built.
set -euo pipefail
cd "$(dirname "$0")/../.."
ROOT=$PWD
BUILD=${BUILD_WINDOWS_DIR:-build-windows}
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake
LAUNCHER=()
command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

GTEST_PREFIX=$ROOT/$BUILD/googletest-install
if [[ ! -f "$GTEST_PREFIX/lib/cmake/GTest/GTestConfig.cmake" ]]; then
    cmake -S /usr/src/googletest -B "$BUILD/googletest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON \
        -DCMAKE_INSTALL_PREFIX="$GTEST_PREFIX" "${LAUNCHER[@]}" >/dev/null
    cmake --build "$BUILD/googletest" -j"$(nproc)"
    cmake --install "$BUILD/googletest" >/dev/null
fi

if [[ ! -f "$BUILD/core/build.ninja" ]]; then
    cmake -S . -B "$BUILD/core" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DVELDRA_CORE_ONLY=ON \
        -DGTest_DIR="$GTEST_PREFIX/lib/cmake/GTest" "${LAUNCHER[@]}"
fi
cmake --build "$BUILD/core" -j"$(nproc)"

# A prefix of our own, made once, without a display and without Wine's chatter; its
# wineserver is stopped at the end so nothing is left running.
export WINEPREFIX=$ROOT/$BUILD/core/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
fi
unset DISPLAY WAYLAND_DISPLAY
WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
trap '"$WINESERVER" -k 2>/dev/null || true' EXIT
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    "$WINE" wineboot --init >/dev/null 2>&1 || true
    "$WINESERVER" -w
fi
ctest --test-dir "$BUILD/core" --output-on-failure
