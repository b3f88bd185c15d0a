# Tests of pictures and rendering, golden images (veldra_draw_tests).
target_sources(veldra_draw_tests PRIVATE
    metafile_test.cpp
    qt_test_app.cpp)
