# Exchange file reader benchmark: the reader against a naive istringstream version.
add_executable(veldra_reader_bench
    ${CMAKE_CURRENT_LIST_DIR}/reader_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/exchange_file_gen.cpp
    ${CMAKE_CURRENT_LIST_DIR}/naive_exchange_reader.cpp)
target_link_libraries(veldra_reader_bench PRIVATE veldra_core benchmark::benchmark)
veldra_target_defaults(veldra_reader_bench)
set_target_properties(veldra_reader_bench PROPERTIES AUTOMOC OFF)
