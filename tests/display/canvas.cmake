# Tests of canvas and primitives (veldra_draw_tests).
target_sources(veldra_draw_tests PRIVATE
    canvas_fill_test.cpp
    canvas_test.cpp
    clipping_test.cpp
    line_batch_test.cpp
    primitives_pattern_test.cpp
    primitives_test.cpp
)
