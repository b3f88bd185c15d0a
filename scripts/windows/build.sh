#!/usr/bin/env bash
# Cross-builds the whole program (window, veldra-cli, tests) for 64-bit Windows into
# build-windows/full/ against scripts/qt-windows.sh's Qt, GMP and MPFR, and GoogleTest
# built once from Debian's sources. Prints two lines: the Windows dependencies' prefix
# and the build folder. Used by scripts/test-windows.sh and scripts/package-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/../.."
ROOT=$PWD
BUILD=${BUILD_WINDOWS_DIR:-build-windows}
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64-shared.cmake
LAUNCHER=()
command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

DEPS=$(bash scripts/qt-windows.sh | tail -1)

GTEST_PREFIX=$ROOT/$BUILD/googletest-install
if [[ ! -f "$GTEST_PREFIX/lib/cmake/GTest/GTestConfig.cmake" ]]; then
    cmake -S /usr/src/googletest -B "$BUILD/googletest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON \
        -DCMAKE_INSTALL_PREFIX="$GTEST_PREFIX" "${LAUNCHER[@]}" >/dev/null
    cmake --build "$BUILD/googletest" -j"$(nproc)" >/dev/null
    cmake --install "$BUILD/googletest" >/dev/null
fi

FULL=$ROOT/$BUILD/full
# A new dependencies' prefix (another key) needs a new configuration.
if [[ ! -f "$FULL/build.ninja" ]] || ! grep -q "VELDRA_WINDOWS_DEPS:PATH=$DEPS\$" "$FULL/CMakeCache.txt"; then
    rm -rf "$FULL"
    cmake -S . -B "$FULL" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DVELDRA_WINDOWS_DEPS="$DEPS" \
        -DCMAKE_PREFIX_PATH="$DEPS" -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DVELDRA_BENCH=OFF -DGTest_DIR="$GTEST_PREFIX/lib/cmake/GTest" "${LAUNCHER[@]}" >/dev/null
fi
cmake --build "$FULL" -j"$(nproc)" >&2
echo "$DEPS"
echo "$FULL"
