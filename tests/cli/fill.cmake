# Tests of veldra-cli fill.
