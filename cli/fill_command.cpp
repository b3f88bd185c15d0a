// veldra-cli fill: the whole job of the window without a window. Reads the host's
// exchange file from the program folder, fits the view as the window does on
// start-up, runs the fill command, then OK and close: the picture goes to its
// output path and the exchange file is rewritten with its placement. A failed check
// ends as Cancel would: the exchange file holds no picture ("hq", or "bz").

#include <QGuiApplication>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/region_options.h"
#include "display/gra_attribute.h"
#include "display/view_navigation.h"
#include "exchange/exchange_writer.h"
#include "exchange/host_contract.h"
#include "fill/fill_pipeline.h"

namespace veldra::cli {

namespace {

constexpr const char* kFillUsage =
    "usage: veldra-cli fill --folder DIR --texture PICTURE --out NAME.bmp\n"
    "         [--magnification 10..500] [--depth 2|16|256|24|32] [--divisions N]\n"
    "         [--size WxH] [--background white|black]\n"
    "         [--mode chain|faces] [--gap MM] [--islands normal|outer|ignore] [--pick X,Y]...\n"
    "  DIR holds JWC_TEMP.TXT (read, then rewritten with the picture placement) and the\n"
    "  temporary bitmap. Defaults: 200 %, 24 bit, 24 divisions, 1600x1200, white.\n";

struct CliFillOptions {
    std::string folder;
    FillOptions fill;
    int width = 1600;
    int height = 1200;
    int32_t background = kBackgroundWhite;
};

int Usage(const std::string& message) {
    std::fprintf(stderr, "veldra-cli fill: %s\n%s", message.c_str(), kFillUsage);
    return 2;
}

bool ParseNumber(const std::string& s, int lo, int hi, int& value) {
    if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::stoi(s);
    return value >= lo && value <= hi;
}

// Colour depth as colours or bits per pixel, to the item of the options' list.
std::optional<int32_t> DepthItem(const std::string& v) {
    if (v == "2" || v == "1") return 0;
    if (v == "16" || v == "4") return 1;
    if (v == "256" || v == "8") return 2;
    if (v == "24") return 3;
    if (v == "32") return 4;
    return std::nullopt;
}

std::optional<std::string> ParseArgs(const Args& args, CliFillOptions& o) {
    o.fill.arcDivisionsText = "24";
    RegionCliOptions region;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string regionError;
        if (ParseRegionOption(args, i, region, regionError)) {
            if (!regionError.empty()) return regionError;
            continue;
        }
        const std::string& a = args[i];
        if (a.size() < 2 || a[0] != '-') return "unexpected argument '" + a + "'";
        if (i + 1 >= args.size()) return a + " needs a value";
        const std::string& v = args[++i];
        if (a == "--folder" || a == "--program-dir") {
            o.folder = v;
        } else if (a == "--texture") {
            o.fill.texturePath = v;
        } else if (a == "--out") {
            o.fill.outputName = v;
        } else if (a == "--divisions") {
            o.fill.arcDivisionsText = v;  // as typed; the fill command limits it
        } else if (a == "--magnification") {
            if (!ParseNumber(v, 10, 500, o.fill.magnificationPercent)) {
                return "bad --magnification '" + v + "' (10..500 percent)";
            }
        } else if (a == "--depth") {
            auto item = DepthItem(v);
            if (!item) return "bad --depth '" + v + "' (2, 16, 256, 24 or 32)";
            o.fill.depthItem = *item;
        } else if (a == "--size") {
            if (!ParseCanvasSize(v, o.width, o.height)) {
                return "bad --size '" + v + "' (WxH, each 1.." + std::to_string(kMaxCanvasSide) +
                       ")";
            }
        } else if (a == "--background") {
            if (v != "white" && v != "black") return "bad --background '" + v + "'";
            o.background = v == "white" ? kBackgroundWhite : kBackgroundBlack;
        } else {
            return "unknown option '" + a + "'";
        }
    }
    o.fill.regions = {region.mode, region.faces};
    if (o.folder.empty()) return std::string("--folder DIR is required");
    std::error_code ec;
    if (!std::filesystem::is_directory(o.folder, ec)) {
        return "'" + o.folder + "' is not a folder";
    }
    return std::nullopt;
}

// Close: the temporary bitmap goes, the exchange file is written for the host.
bool Close(const TJwwEntityStore& store, const std::filesystem::path& folder) {
    RemoveTempImage(folder);
    if (HandBackToHost(store, folder)) return true;
    std::fprintf(stderr, "veldra-cli fill: cannot write %s\n",
                 ExchangeFilePath(folder).string().c_str());
    return false;
}

}  // namespace

int RunFill(const Args& args) {
    CliFillOptions o;
    if (const auto error = ParseArgs(args, o)) return Usage(*error);
    const auto app = MakeHeadlessApplication();
    const std::filesystem::path folder(o.folder);

    // Start-up as the window's: the selection, the attributes, the fitted view.
    TJwwEntityStore store;
    TFileProblem exchangeProblem = TFileProblem::None;
    LoadHostSelection(store, folder, &exchangeProblem);
    // No exchange file is an empty drawing; one that is there but cannot be read (a
    // FIFO, a device, a folder) ends the run at once, as Cancel would.
    if (exchangeProblem != TFileProblem::None && exchangeProblem != TFileProblem::Missing) {
        std::fprintf(stderr, "veldra-cli fill: %s: %s\n", ExchangeFilePath(folder).string().c_str(),
                     FileProblemText(exchangeProblem));
        Close(store, folder);
        return 1;
    }
    TgraAttribute attributes;
    ConfigureAtStartup(attributes);
    attributes.SetBackground(o.background);
    attributes.BuildPenColors();
    TViewState view;
    FitView(view, store, o.width, o.height);

    FillHandBack handBack;
    const FillResult result =
        RunFillCommand(o.fill, FillSession{store, attributes, view, folder}, handBack);
    if (!result.Ok()) {
        std::fprintf(stderr, "%s\n", result.message.c_str());
        Close(store, folder);
        return 1;
    }
    const ConfirmResult confirmed = ConfirmFill(handBack, folder, store);
    if (!confirmed.message.empty()) {
        std::fprintf(stderr, "%s\n", confirmed.message.c_str());
    } else if (!confirmed.queued) {
        std::fputs("veldra-cli fill: the picture has no width; nothing handed back\n", stderr);
    }
    const bool written = Close(store, folder);
    if (!confirmed.queued || !written) return 1;
    std::printf("picture: %s (%dx%d, %d divisions)\nplaced at %s %s, width %s\nexchange file: %s\n",
                handBack.outputPath.c_str(), result.picture.width(), result.picture.height(),
                result.arcDivisions, FormatGeneral(handBack.ImageOriginX).c_str(),
                FormatGeneral(handBack.ImageOriginY).c_str(),
                FormatGeneral(handBack.ImageWidth).c_str(),
                ExchangeFilePath(folder).string().c_str());
    std::printf("regions filled: %zu\nopen ends: %zu\njoins: %zu\n", result.regions.filledRegions,
                result.regions.openEnds.size(), result.regions.joins.size());
    return 0;
}

}  // namespace veldra::cli
