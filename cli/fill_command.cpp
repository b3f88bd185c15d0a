#include <cstdio>

#include "cli/commands.h"

namespace veldra::cli {

int RunFill(const Args&) {
    std::fputs("veldra-cli fill: not built yet\n", stderr);
    return 2;
}

}  // namespace veldra::cli
