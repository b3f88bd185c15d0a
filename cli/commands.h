#pragma once

// Sub-commands of veldra-cli. Each takes the arguments after its name and returns
// the process exit status (0 success, 2 bad usage or unreadable input).

#include <string>
#include <vector>

namespace veldra::cli {

using Args = std::vector<std::string>;

int RunInspect(const Args& args);
int RunRegions(const Args& args);
int RunRender(const Args& args);
int RunFill(const Args& args);

}  // namespace veldra::cli
