# The same cross-build for 64-bit Windows, with the compiler's runtime as DLLs: Qt for
# Windows is built this way, and so is every program that links it, so that one C++
# runtime is shared by the program and Qt's DLLs.
set(VELDRA_MINGW_SHARED_RUNTIME ON)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
