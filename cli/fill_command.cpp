// veldra-cli fill: the whole job of the window without a window. Reads the host's
// exchange file from the program folder, fits the view as the window does on
// start-up, runs the fill command, then OK and close: the picture goes to its
// output path and the exchange file is rewritten with its placement. A failed check
// ends as Cancel would: the exchange file holds no picture ("hq", or "bz").

#include <QGuiApplication>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "attributes/gra_attribute.h"
#include "cli/cli_support.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/region_options.h"
#include "common/code_page_932.h"
#include "exchange/exchange_writer.h"
#include "exchange/host_contract.h"
#include "fill/fill_pipeline.h"
#include "fill/output_area.h"
#include "view/view_navigation.h"

namespace veldra::cli {

namespace {

constexpr const char* kFillUsage =
    "usage: veldra-cli fill --folder DIR --texture PICTURE --out NAME.bmp\n"
    "         [--magnification 10..500] [--depth 2|16|256|24|32] [--divisions N]\n"
    "         [--size WxH] [--background white|black]\n"
    "         [--mode chain|faces] [--gap MM] [--islands normal|outer|ignore] [--pick X,Y]...\n"
    "         [--dpi N] [--area view|fill] [--tile-mm W] [--tile-angle DEG]\n"
    "  DIR holds JWC_TEMP.TXT (read, then rewritten with the picture placement) and the\n"
    "  temporary bitmap. Defaults: 200 %, 24 bit, 24 divisions, 1600x1200, white.\n"
    "  --dpi: resolution on paper (10..4800; default the view's pixels); --area fill: only\n"
    "  the filled regions (default view); --tile-mm: texture tiles of that width in paper\n"
    "  mm from the paper origin, turned by --tile-angle degrees (default: screen tiling).\n"
    "  --gap MM: each free end is extended along its direction by at most MM paper mm to\n"
    "  the first line it meets, or joined to another free end at most MM away. When no\n"
    "  --pick lies in a face, nothing is filled and the exit status is 1.\n"
    "  Every option is written --name value or --name=value.\n";

struct TCliFillOptions {
    std::string folder;
    TFillOptions fill;
    int width = 1600;
    int height = 1200;
    int32_t background = kBackgroundWhite;
};

int Usage(const std::string& message) {
    std::fprintf(stderr, "veldra-cli fill: %s\n%s", message.c_str(), kFillUsage);
    return 2;
}

// Colour depth as colours (2, 16, 256) or bits per pixel (1, 4, 8, 24, 32).
std::optional<int32_t> BitsPerPixelOf(const std::string& text) {
    int32_t n = 0;
    if (!ParseWholeNumber(text, 1, 256, n)) return std::nullopt;
    switch (n) {
        case 1:
        case 2:
            return 1;
        case 4:
        case 16:
            return 4;
        case 8:
        case 256:
            return 8;
        case 24:
        case 32:
            return n;
        default:
            return std::nullopt;
    }
}

// Sets the option `a` from its value `v`; the message when either is bad.
std::optional<std::string> ParseOption(const std::string& a, const std::string& v,
                                       TCliFillOptions& o) {
    if (IsRegionOption(a)) return ParseRegionOption(a, v, o.fill.regions);
    if (a == "--folder" || a == "--program-dir") {
        o.folder = v;
    } else if (a == "--texture") {
        o.fill.texturePath = v;
    } else if (a == "--out") {
        o.fill.outputName = v;
    } else if (a == "--divisions") {
        o.fill.arcDivisions = ArcDivisionsOfText(v);  // read as the window reads its box
    } else if (a == "--magnification") {
        if (!ParseWholeNumber(v, kMinMagnification, kMaxMagnification,
                              o.fill.magnificationPercent)) {
            return "bad --magnification '" + v + "' (10..500 percent)";
        }
    } else if (a == "--depth") {
        const auto bits = BitsPerPixelOf(v);
        if (!bits) return "bad --depth '" + v + "' (2, 16, 256, 24 or 32)";
        o.fill.bitsPerPixel = *bits;
    } else if (a == "--size") {
        if (!ParseCanvasSize(v, o.width, o.height)) {
            return "bad --size '" + v + "' (WxH, each 1.." + std::to_string(kMaxCanvasSide) + ")";
        }
    } else if (a == "--background") {
        if (v != "white" && v != "black") return "bad --background '" + v + "'";
        o.background = v == "white" ? kBackgroundWhite : kBackgroundBlack;
    } else if (a == "--dpi") {
        if (!ParseWholeNumber(v, kMinOutputDpi, kMaxOutputDpi, o.fill.print.dpi)) {
            return "bad --dpi '" + v + "' (10..4800)";
        }
    } else if (a == "--area") {
        if (v != "view" && v != "fill") return "bad --area '" + v + "' (view or fill)";
        o.fill.print.area = v == "view" ? TOutputArea::View : TOutputArea::Fill;
    } else if (a == "--tile-mm") {
        if (!ParseNumber(v, o.fill.print.tileWidthMm) || !(o.fill.print.tileWidthMm > 0) ||
            o.fill.print.tileWidthMm > kMaxTileMm) {
            return "bad --tile-mm '" + v + "' (above 0, up to 10000 mm)";
        }
    } else if (a == "--tile-angle") {
        if (!ParseNumber(v, o.fill.print.tileAngleDeg) ||
            std::fabs(o.fill.print.tileAngleDeg) > kMaxTileAngleDeg) {
            return "bad --tile-angle '" + v + "' (-360..360 degrees)";
        }
    } else {
        return "unknown option '" + a + "'";
    }
    return std::nullopt;
}

std::optional<std::string> ParseArgs(const Args& args, TCliFillOptions& o) {
    TCommandLine line(args);
    while (line.Next()) {
        const std::string& a = line.Name();
        if (!line.IsOption()) return "unexpected argument '" + a + "'";
        const std::optional<std::string> v = line.Value();
        if (!v) return a + " needs a value";
        if (auto error = ParseOption(a, *v, o)) return error;
    }
    if (o.folder.empty()) return std::string("--folder DIR is required");
    std::error_code ec;
    if (!std::filesystem::is_directory(PathFromUtf8(o.folder), ec)) {
        return "'" + o.folder + "' is not a folder";
    }
    return std::nullopt;
}

// Close: the temporary bitmap goes, the exchange file is written for the host.
bool Close(const TJwwEntityStore& store, const std::filesystem::path& folder) {
    RemoveTempImage(folder);
    if (HandBackToHost(store, folder)) return true;
    std::fprintf(stderr, "veldra-cli fill: cannot write %s\n%s\n",
                 Utf8FromPath(ExchangeFilePath(folder)).c_str(), kHandBackFailedMessage);
    return false;
}

}  // namespace

int RunFill(const Args& args) {
    TCliFillOptions o;
    if (const auto error = ParseArgs(args, o)) return Usage(*error);
    const auto app = MakeHeadlessApplication();
    const std::filesystem::path folder = PathFromUtf8(o.folder);

    // Start-up as the window's: the selection, the attributes, the fitted view.
    TJwwEntityStore store;
    TFileProblem exchangeProblem = TFileProblem::None;
    LoadHostSelection(store, folder, &exchangeProblem);
    // No exchange file is an empty drawing; one that is there but cannot be read (a
    // FIFO, a device, a folder) ends the run at once, as Cancel would.
    if (exchangeProblem != TFileProblem::None && exchangeProblem != TFileProblem::Missing) {
        std::fprintf(stderr, "veldra-cli fill: %s: %s\n",
                     Utf8FromPath(ExchangeFilePath(folder)).c_str(),
                     FileProblemText(exchangeProblem));
        Close(store, folder);
        return 1;
    }
    if (store.textReplaced) std::fprintf(stderr, "%s\n", kExchangeTextReplacedMessage);
    TgraAttribute attributes;
    ConfigureAtStartup(attributes);
    attributes.SetBackground(o.background);
    attributes.BuildPenColors();
    TViewState view;
    FitView(view, store, o.width, o.height);

    TFillHandBack handBack;
    const TFillResult result =
        RunFillCommand(o.fill, TFillSession{store, attributes, view, folder}, handBack);
    // Faces refused for their crossings: the message says how many and what to do.
    // Picks that all miss: nothing is filled, and nothing is handed back (as Cancel).
    if (!result.Ok() || result.regions.noPickHit) {
        const std::string message =
            result.regions.tooManyCrossings ? TooManyCrossingsMessage(result.regions.crossings)
            : result.regions.noPickHit ? "veldra-cli fill: no --pick lies in a face; nothing filled"
                                       : result.message;
        std::fprintf(stderr, "%s\n", message.c_str());
        Close(store, folder);
        return 1;
    }
    const TConfirmResult confirmed = ConfirmFill(handBack, folder, store);
    if (!confirmed.message.empty()) {
        std::fprintf(stderr, "%s\n", confirmed.message.c_str());
    } else if (!confirmed.queued) {
        std::fputs("veldra-cli fill: the picture has no width; nothing handed back\n", stderr);
    }
    const bool written = Close(store, folder);
    if (!confirmed.queued || !written) return 1;
    const std::string resolution =
        result.pictureDpi == 0 ? std::string("screen") : std::to_string(result.pictureDpi) + " dpi";
    std::printf(
        "picture: %s (%lldx%lld, %s, %d divisions)\nplaced at %s %s, width %s\n"
        "exchange file: %s\n",
        handBack.outputPath.c_str(), static_cast<long long>(result.pictureWidth),
        static_cast<long long>(result.pictureHeight), resolution.c_str(), result.arcDivisions,
        FormatGeneral(handBack.ImageOriginX).c_str(), FormatGeneral(handBack.ImageOriginY).c_str(),
        FormatGeneral(handBack.ImageWidth).c_str(), Utf8FromPath(ExchangeFilePath(folder)).c_str());
    std::printf("regions filled: %zu\nopen ends: %zu\njoins: %zu\n", result.regions.filledRegions,
                result.regions.openEnds.size(), result.regions.joins.size());
    return 0;
}

}  // namespace veldra::cli
