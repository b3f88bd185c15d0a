# The command line's grammar and number syntax, in-process (veldra_draw_tests).
target_sources(veldra_draw_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/command_line_test.cpp
                                         ${CMAKE_SOURCE_DIR}/cli/command_line.cpp)
