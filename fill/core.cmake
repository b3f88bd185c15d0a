# Closed regions: sources go to veldra_core.
target_sources(veldra_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/regions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/regions_segments.cpp
    ${CMAKE_CURRENT_LIST_DIR}/region_index.cpp
    ${CMAKE_CURRENT_LIST_DIR}/region_bridges.cpp
    ${CMAKE_CURRENT_LIST_DIR}/region_bridges_search.cpp)

# The straightforward loop search, the yardstick for tests and benchmarks only: the
# program never links it.
add_library(veldra_regions_reference STATIC ${CMAKE_CURRENT_LIST_DIR}/regions_reference.cpp)
target_link_libraries(veldra_regions_reference PUBLIC veldra_core)
veldra_target_defaults(veldra_regions_reference)
set_target_properties(veldra_regions_reference PROPERTIES AUTOMOC OFF)

# Faces split at crossings. The geometry library's headers are in faces_arrangement.cpp
# only: that file takes long to compile and needs the library's rounding flags, which
# stay on it alone so the loop search is compiled exactly as before.
# Debian has no mingw-w64 build of GMP and MPFR, so the core cross-built for Windows
# goes without the arrangement: there the faces mode reports that it failed.
if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(VELDRA_ARRANGEMENT OFF)
    target_sources(veldra_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/faces_arrangement_unavailable.cpp)
else()
    set(VELDRA_ARRANGEMENT ON)
    find_package(CGAL REQUIRED)
    add_library(veldra_faces_arrangement OBJECT ${CMAKE_CURRENT_LIST_DIR}/faces_arrangement.cpp)
    target_include_directories(veldra_faces_arrangement PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(veldra_faces_arrangement PRIVATE CGAL::CGAL)
    veldra_target_defaults(veldra_faces_arrangement)
    set_target_properties(veldra_faces_arrangement PROPERTIES AUTOMOC OFF)
    target_sources(veldra_core PRIVATE $<TARGET_OBJECTS:veldra_faces_arrangement>)
    target_link_libraries(veldra_core PRIVATE gmp mpfr)
endif()
target_sources(veldra_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/faces.cpp
    ${CMAKE_CURRENT_LIST_DIR}/faces_gaps.cpp
    ${CMAKE_CURRENT_LIST_DIR}/faces_linework.cpp
    ${CMAKE_CURRENT_LIST_DIR}/region_modes.cpp)
# The library's list iterators cast list nodes down to the arrangement's own types, which
# the sanitizer's vptr check reports although the objects are of those types.
if(VELDRA_ARRANGEMENT AND (VELDRA_FUZZ OR VELDRA_SANITIZE))
    target_compile_options(veldra_faces_arrangement PRIVATE -fno-sanitize=vptr)
endif()
