// veldra-cli regions [--json] [--divisions N] FILE: the closed regions the fill command
// would paint, built from the exchange file as the window reads it at start-up.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "common/my_func.h"
#include "exchange/entity_store.h"
#include "exchange/host_contract.h"
#include "fill/regions.h"

namespace veldra::cli {
namespace {

constexpr const char* kRegionsUsage = "usage: veldra-cli regions [--json] [--divisions N] FILE\n";

struct RegionsOptions {
    bool json = false;
    std::string divisionsText = std::to_string(kDefaultArcDivisions);
    std::string file;
};

// Empty on success, otherwise what is wrong with the command line.
std::string ParseOptions(const Args& args, RegionsOptions& o, bool& help) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            o.json = true;
        } else if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--divisions") {
            if (i + 1 >= args.size()) return "--divisions needs a value";
            o.divisionsText = args[++i];
        } else if (arg.starts_with("--divisions=")) {
            o.divisionsText = arg.substr(12);
        } else if (arg.starts_with("-") && arg != "-") {
            return "unknown option '" + arg + "'";
        } else if (o.file.empty()) {
            o.file = arg;
        } else {
            return "one FILE only";
        }
    }
    if (o.file.empty() && !help) return "no FILE given";
    return {};
}

// Doubles go out in the shortest form that reads back to the same bits; a coordinate
// that is not finite has no JSON number and is written as null.
void PrintJson(const TAr2RealPoint& regions) {
    nlohmann::json polygons = nlohmann::json::array();
    for (const TAryRealPoint& polygon : regions) {
        nlohmann::json points = nlohmann::json::array();
        for (const TRealPoint& p : polygon) points.push_back({p.X, p.Y});
        polygons.push_back(std::move(points));
    }
    nlohmann::json out = {{"polygons", std::move(polygons)}};
    std::string text = out.dump();
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void PrintSummary(const TAr2RealPoint& regions, const std::string& file, int32_t divisions) {
    size_t points = 0;
    for (const TAryRealPoint& polygon : regions) points += polygon.size();
    std::printf("file: %s\ndivisions: %d\npolygons: %zu\npoints: %zu\n", file.c_str(), divisions,
                regions.size(), points);
}

}  // namespace

int RunRegions(const Args& args) {
    RegionsOptions options;
    bool help = false;
    std::string error = ParseOptions(args, options, help);
    if (help) {
        std::fputs(kRegionsUsage, stdout);
        return 0;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "veldra-cli regions: %s\n%s", error.c_str(), kRegionsUsage);
        return 2;
    }
    if (!CheckInputFile("regions", options.file)) return 2;
    // The window's start-up order: a fresh store, the file, then the current attributes.
    TJwwEntityStore store;
    if (!LoadSelection(store, options.file)) {
        std::fprintf(stderr, "veldra-cli regions: %s: cannot be read\n", options.file.c_str());
        return 2;
    }

    // As the fill command takes its division count: a bad number reads as 0, and the
    // count is limited to 3..3600.
    const int32_t divisions = std::clamp<int32_t>(ParseIntOrZero(options.divisionsText),
                                                  kMinArcDivisions, kMaxArcDivisions);
    TAr2RealPoint regions;
    BuildRegions(store, divisions, regions);
    if (options.json) {
        PrintJson(regions);
    } else {
        PrintSummary(regions, options.file, divisions);
    }
    return 0;
}

}  // namespace veldra::cli
