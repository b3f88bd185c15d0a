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
