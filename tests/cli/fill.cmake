# Tests of veldra-cli fill: the program run as a script would, from veldra_draw_tests.
target_sources(veldra_draw_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/fill_command_test.cpp
                                         ${CMAKE_CURRENT_SOURCE_DIR}/fill_golden_test.cpp)
add_dependencies(veldra_draw_tests veldra-cli)
