#include <cstdio>

#include "cli/commands.h"

namespace veldra::cli {

int RunInspect(const Args&) {
    std::fputs("veldra-cli inspect: not built yet\n", stderr);
    return 2;
}

}  // namespace veldra::cli
