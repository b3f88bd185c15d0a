# Canvas and canvas primitives: sources go to veldra_draw.
target_sources(veldra_draw PRIVATE draw_placeholder.cpp)
