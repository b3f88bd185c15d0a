#include <cstdio>

#include "cli/commands.h"

namespace veldra::cli {

int RunRender(const Args&) {
    std::fputs("veldra-cli render: not built yet\n", stderr);
    return 2;
}

}  // namespace veldra::cli
