#include <cstdio>

#include "cli/commands.h"

namespace veldra::cli {

int RunRegions(const Args&) {
    std::fputs("veldra-cli regions: not built yet\n", stderr);
    return 2;
}

}  // namespace veldra::cli
