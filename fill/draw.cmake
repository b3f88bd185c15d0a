# Texture fill, bitmap files, fill pipeline: sources go to veldra_draw.
