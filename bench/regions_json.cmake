# veldra-cli regions --json: the faces with their JSON against the faces alone.
find_package(nlohmann_json 3 REQUIRED)
add_executable(veldra_regions_json_bench ${CMAKE_CURRENT_LIST_DIR}/regions_json_bench.cpp
                                         ${CMAKE_SOURCE_DIR}/cli/json_writer.cpp
                                         ${CMAKE_SOURCE_DIR}/cli/regions_json.cpp)
target_link_libraries(veldra_regions_json_bench PRIVATE veldra_core nlohmann_json::nlohmann_json
                                                        benchmark::benchmark)
veldra_target_defaults(veldra_regions_json_bench)
set_target_properties(veldra_regions_json_bench PROPERTIES AUTOMOC OFF)
