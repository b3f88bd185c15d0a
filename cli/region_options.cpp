#include "cli/region_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace veldra::cli {

namespace {

// A whole decimal number, finite; nothing else.
bool ParseReal(const std::string& text, double& value) {
    if (text.empty() || text.size() > 64) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && errno == 0 && std::isfinite(value);
}

}  // namespace

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

bool ParseRegionOption(const Args& args, size_t& i, RegionCliOptions& o, std::string& error) {
    std::string name = args[i];
    std::string value;
    const size_t eq = name.find('=');
    const bool inlineValue = eq != std::string::npos;
    if (inlineValue) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
    }
    if (name != "--mode" && name != "--gap" && name != "--islands" && name != "--pick")
        return false;
    if (!inlineValue) {
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return true;
        }
        value = args[++i];
    }
    if (name == "--mode") {
        if (value == "chain") {
            o.mode = TRegionMode::Chain;
        } else if (value == "faces") {
            o.mode = TRegionMode::Faces;
        } else {
            error = "bad --mode '" + value + "' (chain or faces)";
        }
    } else if (name == "--gap") {
        double gap = 0.0;
        if (!ParseReal(value, gap) || gap < 0) {
            error = "bad --gap '" + value + "' (a length in paper mm, 0 or more)";
        } else {
            o.faces.gapTolerance = gap;
        }
    } else if (name == "--islands") {
        if (value == "normal") {
            o.faces.islands = TIslandMode::Normal;
        } else if (value == "outer") {
            o.faces.islands = TIslandMode::OuterOnly;
        } else if (value == "ignore") {
            o.faces.islands = TIslandMode::Ignore;
        } else {
            error = "bad --islands '" + value + "' (normal, outer or ignore)";
        }
    } else {
        const size_t comma = value.find(',');
        TRealPoint p;
        if (comma == std::string::npos || !ParseReal(value.substr(0, comma), p.X) ||
            !ParseReal(value.substr(comma + 1), p.Y)) {
            error = "bad --pick '" + value + "' (X,Y in paper units)";
        } else {
            o.faces.picks.push_back(p);
        }
    }
    return true;
}

}  // namespace veldra::cli
