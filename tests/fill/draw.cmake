# Tests of texture fill, bitmap files, pipeline (veldra_draw_tests).
target_sources(veldra_draw_tests PRIVATE color_reduction_test.cpp bmp_writer_test.cpp
                                         texture_fill_test.cpp fill_pipeline_test.cpp
                                         print_picture_test.cpp print_fill_test.cpp
                                         ${CMAKE_SOURCE_DIR}/tests/exchange/host_stand_in.cpp)
