# Tests of veldra-cli inspect.

# The JSON form in-process: decoding, exact doubles, the fields of every kind.
find_package(nlohmann_json 3 REQUIRED GLOBAL)  # linked from the tests folder below
target_sources(veldra_draw_tests PRIVATE ${CMAKE_SOURCE_DIR}/cli/store_json.cpp
                                         ${CMAKE_SOURCE_DIR}/cli/json_writer.cpp
                                         ${CMAKE_CURRENT_SOURCE_DIR}/store_json_test.cpp)
target_link_libraries(veldra_draw_tests PRIVATE nlohmann_json::nlohmann_json)

# The program itself.
set(VELDRA_CLI $<TARGET_FILE:veldra-cli>)
add_test(NAME cli_inspect_json_all_kinds
         COMMAND ${CMAKE_COMMAND} -DCLI=${VELDRA_CLI} -DFILE=${CMAKE_SOURCE_DIR}/samples/all_kinds.txt
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/inspect_check.cmake)
add_test(NAME cli_inspect_summary COMMAND veldra-cli inspect ${CMAKE_SOURCE_DIR}/samples/all_kinds.txt)
set_tests_properties(cli_inspect_summary PROPERTIES PASS_REGULAR_EXPRESSION
                     "layer-group scales: 100 100 50 1 .*entities: 25\n.*  15 solid \\(sg\\) +1\n")
add_test(NAME cli_inspect_missing_file COMMAND veldra-cli inspect ${CMAKE_SOURCE_DIR}/samples/none.txt)
add_test(NAME cli_inspect_folder COMMAND veldra-cli inspect --json ${CMAKE_SOURCE_DIR}/samples)
add_test(NAME cli_inspect_no_file COMMAND veldra-cli inspect --json)
add_test(NAME cli_inspect_bad_option COMMAND veldra-cli inspect --jsn ${CMAKE_SOURCE_DIR}/samples/all_kinds.txt)
set_tests_properties(cli_inspect_missing_file cli_inspect_folder cli_inspect_no_file
                     cli_inspect_bad_option PROPERTIES WILL_FAIL TRUE)

# Memory caps: the streamed document fits where the tree did not, and running out of
# memory ends a run with a message, never an abort. Not under the sanitizers, whose
# allocator reserves far more address space than any cap here.
if(NOT VELDRA_SANITIZE AND NOT WIN32)
    add_test(NAME cli_inspect_and_regions_under_memory_caps
             COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/inspect_memory_check.sh $<TARGET_FILE:veldra-cli>
                     ${CMAKE_CURRENT_BINARY_DIR}/memory-caps)
    set_tests_properties(cli_inspect_and_regions_under_memory_caps PROPERTIES TIMEOUT 300)
endif()
