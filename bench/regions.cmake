# Region build benchmark: the indexed loop search against the straightforward one.
add_executable(veldra_regions_bench ${CMAKE_CURRENT_LIST_DIR}/regions_bench.cpp)
target_link_libraries(veldra_regions_bench PRIVATE veldra_regions_reference benchmark::benchmark)
veldra_target_defaults(veldra_regions_bench)
