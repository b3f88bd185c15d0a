// veldra-cli render: draws the exchange file's selection as the window shows it
// right after start-up (view fitted to the drawing) and writes a PNG or a bitmap, as
// the output name's extension says.

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "attributes/gra_attribute.h"
#include "cli/cli_support.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "common/code_page_932.h"
#include "display/canvas/canvas.h"
#include "display/canvas/draw_context.h"
#include "display/render/view_redraw.h"
#include "exchange/entity_store.h"
#include "exchange/host_contract.h"
#include "fill/view_picture_file.h"
#include "view/view_navigation.h"

namespace veldra::cli {

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
// Largest canvas side accepted (a 8192 x 8192 canvas takes 256 MB).

struct TRenderOptions {
    std::string file;
    std::string out;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    int32_t background = kBackgroundWhite;
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "veldra-cli render: %s\n", message.c_str());
    return 2;
}

std::optional<std::string> ParseArgs(const Args& args, TRenderOptions& o) {
    TCommandLine line(args);
    while (line.Next()) {
        const std::string& a = line.Name();
        if (a == "--out" || a == "--size" || a == "--background") {
            const std::optional<std::string> value = line.Value();
            if (!value) return a + " needs a value";
            const std::string& v = *value;
            if (a == "--out") {
                o.out = v;
            } else if (a == "--size") {
                if (!ParseCanvasSize(v, o.width, o.height))
                    return "bad --size '" + v + "' (expected WxH, each 1.." +
                           std::to_string(kMaxCanvasSide) + ")";
            } else if (v == "white" || v == "black") {
                o.background = v == "white" ? kBackgroundWhite : kBackgroundBlack;
            } else {
                return "bad --background '" + v + "' (white or black)";
            }
        } else if (line.IsOption()) {
            return "unknown option '" + a + "'";
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            return "more than one exchange file given";
        }
    }
    if (o.file.empty()) return std::string("no exchange file given");
    if (o.out.empty()) return std::string("--out VIEW.png is required");
    // Known before anything is drawn: a picture is never written under a name that
    // promises another format.
    if (!ViewPictureFormatOf(o.out))
        return "cannot tell the format of '" + o.out + "': name it .png or .bmp";
    return std::nullopt;
}

}  // namespace

int RunRender(const Args& args) {
    TRenderOptions o;
    if (const auto error = ParseArgs(args, o)) {
        return Fail(*error +
                    "\nusage: veldra-cli render FILE --out VIEW.png|VIEW.bmp [--size WxH] "
                    "[--background white|black]");
    }
    const auto app = MakeHeadlessApplication();

    // As at start-up: empty store, the file, the current attributes reset, and the
    // first layer group and layer of the file made current.
    TJwwEntityStore store;
    if (!LoadSelection(store, PathFromUtf8(o.file)))
        return Fail("cannot read exchange file '" + o.file + "'");

    TgraAttribute attributes;
    ConfigureAtStartup(attributes);
    attributes.SetBackground(o.background);
    attributes.BuildPenColors();

    TViewState view;
    FitView(view, store, o.width, o.height);
    TDrawContext context(view, attributes);
    TCanvas canvas(o.width, o.height);
    RedrawViewOnto(context, canvas, store, AbortPoll{});

    const std::filesystem::path out = PathFromUtf8(o.out);
    if (!SaveViewPicture(out, canvas.Image(), *ViewPictureFormatOf(out)))
        return Fail("cannot write '" + o.out + "'");
    return 0;
}

}  // namespace veldra::cli
