# Tests of the regions (veldra_core_tests). The straightforward loop search is linked
# in as the yardstick of the indexed one.
target_sources(veldra_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/regions_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/regions_index_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/regions_cases_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/regions_differential_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/regions_drawing_gen.cpp)
if(NOT (WIN32 AND CMAKE_CROSSCOMPILING))  # the arrangement is there
    target_sources(veldra_core_tests PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/faces_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/faces_raster_test.cpp)
endif()
target_link_libraries(veldra_core_tests PRIVATE veldra_regions_reference)
