# The cross-build for Windows: what the program links that Debian has no mingw-w64
# build of comes from scripts/qt-windows.sh's prefix (VELDRA_WINDOWS_DEPS: Qt, GMP and
# MPFR), and the header-only libraries (CGAL, Boost, nlohmann-json) are Debian's own.
# Those headers sit in /usr/include beside glibc's, which must never reach a mingw-w64
# compile: a folder of links to just those three stands in for it.
set(VELDRA_WINDOWS_DEPS "" CACHE PATH "Prefix of Qt, GMP and MPFR for Windows (scripts/qt-windows.sh)")

set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${host_headers})
foreach(name CGAL boost nlohmann)
    if(NOT EXISTS ${host_headers}/${name})
        file(CREATE_LINK /usr/include/${name} ${host_headers}/${name} SYMBOLIC)
    endif()
endforeach()
add_library(veldra_host_headers INTERFACE)
target_include_directories(veldra_host_headers SYSTEM INTERFACE ${host_headers})

if(NOT VELDRA_WINDOWS_DEPS)
    message(FATAL_ERROR "The Windows build needs VELDRA_WINDOWS_DEPS, the prefix scripts/qt-windows.sh makes")
endif()
# CGAL's exact numbers on GMP and MPFR, linked statically; CGAL needs the rounding mode
# left alone by the optimiser.
add_library(veldra_windows_cgal INTERFACE)
target_include_directories(veldra_windows_cgal SYSTEM INTERFACE ${VELDRA_WINDOWS_DEPS}/include)
target_compile_options(veldra_windows_cgal INTERFACE -frounding-math)
target_link_libraries(veldra_windows_cgal INTERFACE veldra_host_headers
                      ${VELDRA_WINDOWS_DEPS}/lib/libmpfr.a ${VELDRA_WINDOWS_DEPS}/lib/libgmp.a)
