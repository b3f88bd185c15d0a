# Graphic attributes, view state, extents: sources go to veldra_core.
