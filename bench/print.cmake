# Picture for print benchmark: 1,000 regions over A3 at 150, 300 and 600 dpi.
add_executable(veldra_print_bench ${CMAKE_CURRENT_LIST_DIR}/print_bench.cpp)
target_link_libraries(veldra_print_bench PRIVATE veldra_draw benchmark::benchmark)
veldra_target_defaults(veldra_print_bench)
