# Canvas and canvas primitives: sources go to veldra_draw.
target_sources(veldra_draw PRIVATE
    canvas.cpp
    canvas_fill.cpp
    canvas_guard.cpp
    canvas_raster.cpp
    canvas_wide.cpp
    clipping.cpp
    primitives_ellipse.cpp
    primitives_pattern.cpp
    primitives_pixel.cpp
    primitives_setup.cpp
    primitives_world.cpp
)
