# Tests of veldra-cli render.
