#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: installs only what is missing.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config clang-format clang-tidy
    qt6-base-dev qt6-image-formats-plugins qt6-qpa-plugins
    qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    libcgal-dev libgmp-dev libmpfr-dev libjemalloc-dev
    libxcb1-dev xvfb xauth xdotool openbox wmctrl x11-utils imagemagick fonts-noto-cjk python3-pil
    ccache g++-mingw-w64-x86-64-posix googletest wine64
    # Qt, GMP and MPFR for Windows from Debian's sources (scripts/qt-windows.sh), Wine as
    # a Japanese Windows with Latin fonts of its own.
    dpkg-dev m4 locales fonts-wine
)
if [[ "${VELDRA_FUZZ:-0}" == 1 ]]; then
    PACKAGES+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [[ $(id -u) -ne 0 ]] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine as a Japanese Windows needs the glibc locale (code page 932, Japanese Unix paths).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    SUDO=""
    [[ $(id -u) -ne 0 ]] && SUDO=sudo
    $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
