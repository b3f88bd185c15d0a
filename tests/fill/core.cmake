# Tests of the regions (veldra_core_tests).
