#pragma once

// The region options that `regions` and `fill` share: --mode chain|faces, --gap MM,
// --islands normal|outer|ignore and --pick X,Y (repeatable).

#include <optional>
#include <string>

#include "cli/commands.h"
#include "regions/faces.h"

namespace veldra::cli {

struct RegionCliOptions {
    TRegionMode mode = TRegionMode::Chain;
    TFaceOptions faces;
};

inline constexpr const char* kRegionOptionsUsage =
    "  [--mode chain|faces] [--gap MM] [--islands normal|outer|ignore] [--pick X,Y]...\n";

// When args[i] is a region option, consumes it (and its value, moving i on) and
// returns true; `error` is set when its value is bad or missing.
bool ParseRegionOption(const Args& args, size_t& i, RegionCliOptions& options, std::string& error);

// "normal", "outer", "ignore" for the island modes.
const char* IslandModeName(TIslandMode mode);

}  // namespace veldra::cli
