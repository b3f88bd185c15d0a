# Texture fill, bitmap files, fill pipeline: sources go to veldra_draw.
target_sources(veldra_draw PRIVATE color_reduction.cpp bmp_writer.cpp bmp_band_writer.cpp
                                   texture_fill.cpp output_area.cpp picture_bands.cpp
                                   fill_pipeline.cpp)
