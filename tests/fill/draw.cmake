# Tests of texture fill, bitmap files, pipeline (veldra_draw_tests).
