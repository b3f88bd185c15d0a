# Fill command and bitmap save benchmark.
add_executable(veldra_fill_bench ${CMAKE_CURRENT_LIST_DIR}/fill_bench.cpp)
target_link_libraries(veldra_fill_bench PRIVATE veldra_fill_reference benchmark::benchmark)
veldra_target_defaults(veldra_fill_bench)
