# Pictures and entity rendering: sources go to veldra_draw.
target_sources(veldra_draw PRIVATE
    img_convert.cpp
    metafile_emf.cpp
    metafile_wmf.cpp
    metafile_wmf_draw.cpp
    metafile_wmf_player.cpp
    picture.cpp
    picture_decode.cpp
    picture_dib.cpp
    picture_frame.cpp
    render_lines.cpp
    render_passes.cpp
    render_solids.cpp
    view_redraw.cpp)
# Enhanced metafiles are converted to SVG by libemf2svg (no pkg-config file).
find_library(EMF2SVG_LIBRARY emf2svg REQUIRED)
target_link_libraries(veldra_draw PRIVATE ${EMF2SVG_LIBRARY})
