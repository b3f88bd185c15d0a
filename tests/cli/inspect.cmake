# Tests of veldra-cli inspect.
