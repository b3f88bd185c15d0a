# Graphic attributes, view state, navigation arithmetic, extents and picture texts:
# sources go to veldra_core (no Qt here).
target_sources(veldra_core PRIVATE
    extents.cpp
    gra_attribute.cpp
    line_types.cpp
    picture_text.cpp
    view_navigation.cpp
    view_state.cpp)
