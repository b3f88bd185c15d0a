#!/usr/bin/env bash
# Builds what the Windows program links, from Debian's own sources, for
# x86_64-w64-mingw32: Qt's base module (shared; Core, Gui, Widgets, the windows,
# offscreen and minimal platforms, the image formats), and GMP and MPFR (static) for
# the faces mode's exact geometry. Installs into a cache outside the source tree, keyed
# by the source versions and this script with its patches, so a warm run does nothing
# and any change of version or option builds anew:
#   ${VELDRA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/veldra}/windows-deps-KEY/
# Prints the prefix on its last line. About 40 CPU-minutes when cold.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
CACHE=${VELDRA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/veldra}
JOBS=${JOBS:-$(nproc)}
TRIPLE=x86_64-w64-mingw32

# Debian's source packages: deb-src next to every deb entry, once.
SOURCES=/etc/apt/sources.list.d/debian.sources
SUDO=""
[[ $(id -u) -ne 0 ]] && SUDO=sudo
if [[ -f $SOURCES ]] && ! grep -q '^Types:.*deb-src' "$SOURCES"; then
    $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$SOURCES"
    $SUDO apt-get update -qq
fi
source_version() { apt-cache showsrc "$1" | awk '/^Version:/ {print $2; exit}'; }
QT_VERSION=$(source_version qt6-base)
GMP_VERSION=$(source_version gmp)
MPFR_VERSION=$(source_version mpfr4)
[[ -n $QT_VERSION && -n $GMP_VERSION && -n $MPFR_VERSION ]] ||
    { echo "qt-windows: Debian's sources are not reachable (apt-cache showsrc)" >&2; exit 1; }

# Qt's base module with only what the program uses; Qt's bundled copies of the libraries
# Debian has no mingw-w64 build of. Tablet events need wintab.h, which mingw-w64 lacks.
QT_OPTIONS=(-release -shared -nomake examples -nomake tests -opengl no -no-dbus -no-icu -no-zstd
    -no-feature-network -no-feature-sql -no-feature-printsupport -no-feature-xml
    -no-feature-concurrent -no-feature-tabletevent -no-feature-vulkan -no-feature-direct2d
    -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-pcre -qt-harfbuzz -qt-doubleconversion)
# The key: what decides the built files (versions, compiler, options, patches), not the
# wording of this script.
# GMP with its C++ classes: the tests' exact reference of the faces uses them.
GMP_OPTIONS=(--enable-static --disable-shared --enable-cxx)
KEY=$( (echo "$QT_VERSION $GMP_VERSION $MPFR_VERSION ${QT_OPTIONS[*]} ${GMP_OPTIONS[*]}"
        ${TRIPLE}-g++-posix --version | head -1
        cat scripts/windows/*.patch) | sha256sum | cut -c1-16)
PREFIX=$CACHE/windows-deps-$KEY
# One build at a time: a second run waits for the first and then finds its result.
mkdir -p "$CACHE"
exec 9>"$CACHE/.lock"
flock 9
if [[ -f $PREFIX/.complete ]]; then
    echo "$PREFIX"
    exit 0
fi

WORK=$CACHE/work-$KEY
rm -rf "$WORK" "$PREFIX"
mkdir -p "$WORK"
START=$SECONDS

# GMP and MPFR as static libraries.
cd "$WORK"
apt-get source gmp >/dev/null 2>&1
apt-get source mpfr4 >/dev/null 2>&1
GMP_DIR=$(find . -maxdepth 1 -type d -name 'gmp-*' | head -1)
MPFR_DIR=$(find . -maxdepth 1 -type d -name 'mpfr4-*' | head -1)
# Debian's GMP source leaves out the manual, which its makefiles still name.
mkdir -p "$GMP_DIR/doc" && [[ -f $GMP_DIR/doc/Makefile.in ]] ||
    printf 'all:\ninstall:\n%%:\n\t@:\n' >"$GMP_DIR/doc/Makefile.in"
(cd "$GMP_DIR" && ./configure --host=$TRIPLE --prefix="$PREFIX" "${GMP_OPTIONS[@]}" \
    CC=${TRIPLE}-gcc-posix CXX=${TRIPLE}-g++-posix >/dev/null && make -j"$JOBS" >/dev/null && make install >/dev/null)
(cd "$MPFR_DIR" && ./configure --host=$TRIPLE --prefix="$PREFIX" --enable-static --disable-shared \
    --with-gmp="$PREFIX" CC=${TRIPLE}-gcc-posix >/dev/null && make -j"$JOBS" >/dev/null &&
    make install >/dev/null)
echo "qt-windows: GMP and MPFR built in $((SECONDS - START)) s" >&2

apt-get source qt6-base >/dev/null 2>&1
QT_DIR=$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
for p in "$ROOT"/scripts/windows/qt-*.patch; do
    patch -d "$QT_DIR" -p1 --forward <"$p" >/dev/null
done
mkdir -p qt-build
(cd qt-build && "../$QT_DIR/configure" -prefix "$PREFIX" "${QT_OPTIONS[@]}" \
    -- -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64-shared.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >configure.log 2>&1) ||
    { tail -40 qt-build/configure.log >&2; exit 1; }
cmake --build qt-build --parallel "$JOBS" >qt-build/build.log 2>&1 ||
    { tail -60 qt-build/build.log >&2; exit 1; }
cmake --install qt-build >/dev/null
echo "qt-windows: Qt built in $((SECONDS - START)) s in all" >&2

# The Japanese translation of Qt's own dialogs and buttons.
mkdir -p "$PREFIX/translations"
cp /usr/share/qt6/translations/qtbase_ja.qm "$PREFIX/translations/" 2>/dev/null || true
# Older builds of other keys are left for other checkouts; a cache holds a few at most.
touch "$PREFIX/.complete"
cd "$CACHE"
rm -rf "$WORK"
echo "$PREFIX"
