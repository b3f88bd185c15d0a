# Tests of veldra-cli regions.
