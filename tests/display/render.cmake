# Tests of pictures and rendering, golden images (veldra_draw_tests).
