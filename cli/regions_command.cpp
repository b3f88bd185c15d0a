// veldra-cli regions [--json] [--divisions N] [region options] FILE: the closed regions
// the fill command would paint, built from the exchange file as the window reads it at
// start-up: the loops of the end-to-end search, or the faces split at crossings.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "cli/cli_support.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/region_options.h"
#include "cli/regions_json.h"
#include "common/code_page_932.h"
#include "common/my_func.h"
#include "exchange/entity_store.h"
#include "exchange/exchange_writer.h"
#include "exchange/host_contract.h"
#include "options/fill_options.h"
#include "regions/faces.h"
#include "regions/regions.h"

namespace veldra::cli {
namespace {

constexpr const char* kRegionsUsage =
    "usage: veldra-cli regions [--json] [--divisions N] [--mode chain|faces] [--gap MM]\n"
    "         [--islands normal|outer|ignore] [--pick X,Y]... FILE\n"
    "  chain (default): the loops found end to end; faces: the faces of the linework split\n"
    "  at every crossing, ordered by the lowest point of their outer ring (bottom to top,\n"
    "  then left to right, then the smaller first). --gap, --islands and --pick are for\n"
    "  faces. --gap MM: each free end is extended along its direction by at most MM paper\n"
    "  mm to the first line it meets, or joined to another free end at most MM away.\n"
    "  Islands are filled as the mode says; picks (paper units) fill only the faces under\n"
    "  them and their islands (exit 1 when no pick lies in a face). Selections with more\n"
    "  than 2,000,000 crossings are refused (exit 1). Every option with a value is written\n"
    "  --name value or --name=value.\n";

struct TRegionsOptions {
    bool json = false;
    int32_t divisions = kDefaultArcDivisions;
    std::string file;
    TFillRegionOptions region;
};

// Empty on success, otherwise what is wrong with the command line.
std::string ParseOptions(const Args& args, TRegionsOptions& o, bool& help) {
    TCommandLine line(args);
    while (line.Next()) {
        const std::string& arg = line.Name();
        if (arg == "--json" || arg == "--help" || arg == "-h") {
            if (line.HasInlineValue()) return arg + " takes no value";
            (arg == "--json" ? o.json : help) = true;
        } else if (arg == "--divisions" || IsRegionOption(arg)) {
            const std::optional<std::string> value = line.Value();
            if (!value) return arg + " needs a value";
            if (arg == "--divisions") {
                // As the fill command reads its division count.
                o.divisions = ArcDivisionsOfText(*value);
            } else if (auto error = ParseRegionOption(arg, *value, o.region)) {
                return *error;
            }
        } else if (line.IsOption()) {
            return "unknown option '" + arg + "'";
        } else if (o.file.empty()) {
            o.file = arg;
        } else {
            return "one FILE only";
        }
    }
    if (o.file.empty() && !help) return "no FILE given";
    const TFaceOptions& faces = o.region.faces;
    if (o.region.mode == TRegionMode::Chain &&
        (faces.gapTolerance > 0 || !faces.picks.empty() || faces.islands != TIslandMode::Normal)) {
        return "--gap, --islands and --pick need --mode faces";
    }
    return {};
}

// The document and its line end; false (and a message) when stdout failed.
bool PrintJson(const std::function<void(TJsonWriter&)>& write) {
    TJsonWriter out(stdout);
    write(out);
    out.Raw('\n');
    if (out.Flush()) return true;
    std::fputs("veldra-cli regions: the output cannot be written\n", stderr);
    return false;
}

void PrintFacesSummary(const TFaceBuild& build, const TRegionsOptions& o, int32_t divisions) {
    size_t filled = 0;
    for (const TFaceRegion& face : build.faces) filled += face.filled ? 1 : 0;
    std::printf(
        "file: %s\ndivisions: %d\nmode: faces\ngap: %s\nislands: %s\nfaces: %zu\nfilled: "
        "%zu\nopen ends: %zu\njoins: %zu\n",
        o.file.c_str(), divisions, FormatGeneral(o.region.faces.gapTolerance).c_str(),
        IslandModeName(o.region.faces.islands), build.faces.size(), filled, build.openEnds.size(),
        build.joins.size());
}

void PrintSummary(const TAr2RealPoint& regions, const std::string& file, int32_t divisions,
                  size_t openEnds) {
    size_t points = 0;
    for (const TAryRealPoint& polygon : regions) points += polygon.size();
    std::printf("file: %s\ndivisions: %d\npolygons: %zu\npoints: %zu\nopen ends: %zu\n",
                file.c_str(), divisions, regions.size(), points, openEnds);
}

}  // namespace

int RunRegions(const Args& args) {
    TRegionsOptions options;
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
    if (!LoadSelection(store, PathFromUtf8(options.file))) {
        std::fprintf(stderr, "veldra-cli regions: %s: cannot be read\n", options.file.c_str());
        return 2;
    }

    const int32_t divisions = options.divisions;
    if (options.region.mode == TRegionMode::Faces) {
        const TFaceBuild build = BuildFaces(store, divisions, options.region.faces);
        if (build.skippedEntities > 0) {
            std::fprintf(stderr,
                         "veldra-cli regions: %zu lines or arcs left out (coordinates not finite "
                         "or beyond %s)\n",
                         build.skippedEntities, FormatGeneral(kMaxFaceCoordinate).c_str());
        }
        if (build.tooManyCrossings) {
            std::fprintf(stderr, "veldra-cli regions: %s\n",
                         TooManyCrossingsMessage(build.crossings).c_str());
            return 1;
        }
        if (build.failed) {
            std::fprintf(stderr, "veldra-cli regions: the faces could not be built\n");
            return 1;
        }
        if (options.json) {
            if (!PrintJson([&](TJsonWriter& out) { WriteFacesJson(build, out); })) return 1;
        } else {
            PrintFacesSummary(build, options, divisions);
        }
        if (build.noPickHit) {
            std::fprintf(stderr, "veldra-cli regions: no --pick lies in a face; nothing filled\n");
            return 1;
        }
        return 0;
    }
    TAr2RealPoint regions;
    BuildRegions(store, divisions, regions);
    const std::vector<TRealPoint> openEnds = ChainOpenEnds(store);
    if (options.json) {
        if (!PrintJson([&](TJsonWriter& out) { WriteLoopsJson(regions, openEnds, out); })) return 1;
    } else {
        PrintSummary(regions, options.file, divisions, openEnds.size());
    }
    return 0;
}

}  // namespace veldra::cli
