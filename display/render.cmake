# Pictures and entity rendering: sources go to veldra_draw.
