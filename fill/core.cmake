# Closed regions: sources go to veldra_core.
