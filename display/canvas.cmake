# Canvas and canvas primitives: sources go to veldra_draw.
target_sources(veldra_draw PRIVATE
    canvas.cpp
    canvas_guard.cpp
    canvas_raster.cpp
)
