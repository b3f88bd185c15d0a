# Cross-build for 64-bit Windows with Debian's mingw-w64 (the posix thread model, so
# std::thread and std::mutex exist), run under Wine when Wine is installed.
#   cmake -S . -B build-windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVELDRA_WINDOWS_DEPS=PREFIX
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELDRA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELDRA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELDRA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELDRA_MINGW_TRIPLE}-windres)

# Look for libraries and packages only in the target's tree (or where a *_DIR
# variable points), programs only on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VELDRA_MINGW_TRIPLE} ${VELDRA_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the core's test programs run without copying the compiler's DLLs.
if(NOT VELDRA_MINGW_SHARED_RUNTIME)
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()

# Tests run through Wine in a prefix of the build's own, quiet and without a display.
# Mono and Gecko are not wanted (no .NET, no HTML), so Wine never offers to fetch them.
find_program(VELDRA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VELDRA_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR
        env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix
        WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=" ${VELDRA_WINE})
endif()
