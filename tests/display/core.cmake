# Tests of attributes, view and extents (veldra_core_tests).
