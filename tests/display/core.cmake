# Tests of attributes, view and extents (veldra_core_tests).
target_sources(veldra_core_tests PRIVATE
    extents_test.cpp
    gra_attribute_test.cpp
    line_types_test.cpp
    picture_text_test.cpp
    view_navigation_test.cpp
    view_state_test.cpp)
