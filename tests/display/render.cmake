# Tests of pictures and rendering, golden images (veldra_draw_tests).
target_sources(veldra_draw_tests PRIVATE
    golden_image.cpp
    metafile_emf_test.cpp
    metafile_limits_test.cpp
    metafile_test.cpp
    picture_decode_test.cpp
    picture_frame_test.cpp
    qt_test_app.cpp
    render_golden_test.cpp
    render_test.cpp)
