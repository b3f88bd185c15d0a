#include "cli/region_options.h"

#include "cli/command_line.h"

namespace veldra::cli {

const char* IslandModeName(TIslandMode mode) {
    switch (mode) {
        case TIslandMode::OuterOnly:
            return "outer";
        case TIslandMode::Ignore:
            return "ignore";
        case TIslandMode::Normal:
            break;
    }
    return "normal";
}

bool IsRegionOption(const std::string& name) {
    return name == "--mode" || name == "--gap" || name == "--islands" || name == "--pick";
}

std::optional<std::string> ParseRegionOption(const std::string& name, const std::string& value,
                                             TFillRegionOptions& o) {
    if (name == "--mode") {
        if (value == "chain") {
            o.mode = TRegionMode::Chain;
        } else if (value == "faces") {
            o.mode = TRegionMode::Faces;
        } else {
            return "bad --mode '" + value + "' (chain or faces)";
        }
    } else if (name == "--gap") {
        double gap = 0.0;
        if (!ParseNumber(value, gap) || gap < 0)
            return "bad --gap '" + value + "' (a length in paper mm, 0 or more)";
        o.faces.gapTolerance = gap;
    } else if (name == "--islands") {
        if (value == "normal") {
            o.faces.islands = TIslandMode::Normal;
        } else if (value == "outer") {
            o.faces.islands = TIslandMode::OuterOnly;
        } else if (value == "ignore") {
            o.faces.islands = TIslandMode::Ignore;
        } else {
            return "bad --islands '" + value + "' (normal, outer or ignore)";
        }
    } else {
        const size_t comma = value.find(',');
        TRealPoint p;
        if (comma == std::string::npos || !ParseNumber(value.substr(0, comma), p.X) ||
            !ParseNumber(value.substr(comma + 1), p.Y)) {
            return "bad --pick '" + value + "' (X,Y in paper units)";
        }
        o.faces.picks.push_back(p);
    }
    return std::nullopt;
}

}  // namespace veldra::cli
