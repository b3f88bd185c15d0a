#pragma once

// The region options that `regions` and `fill` share: --mode chain|faces, --gap MM,
// --islands normal|outer|ignore and --pick X,Y (repeatable).

#include <optional>
#include <string>

#include "regions/region_modes.h"

namespace veldra::cli {

inline constexpr const char* kRegionOptionsUsage =
    "  [--mode chain|faces] [--gap MM] [--islands normal|outer|ignore] [--pick X,Y]...\n";

bool IsRegionOption(const std::string& name);

// Sets the region option `name` from its value; the message when the value is bad.
std::optional<std::string> ParseRegionOption(const std::string& name, const std::string& value,
                                             TFillRegionOptions& options);

// "normal", "outer", "ignore" for the island modes.
const char* IslandModeName(TIslandMode mode);

}  // namespace veldra::cli
