// Fuzz target for picture-placement texts: any text must split into a path and
// numbers consistently, and a placement of any size, trim or aspect must measure and
// draw on a small canvas without trouble. Paths may name the small pictures this
// target keeps in a fixed temporary folder, so that real decoding and drawing run.

#include <QCoreApplication>
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "attributes/picture_text.h"
#include "display/canvas/canvas.h"
#include "display/pictures/picture_decode.h"
#include "display/pictures/picture_frame.h"
#include "display/render/render.h"
#include "fuzz/fuzz_gui_app.h"
#include "view/extents.h"

namespace {

using namespace veldra;

// The folder the seed texts name; every process writes its pictures afresh (under a
// temporary name, then renamed), so runs side by side always see whole files.
void MakePictures() {
    static bool made = false;
    if (made) return;
    made = true;
    const std::filesystem::path dir = "/tmp/veldra-fuzz-pictures";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    QImage bitmap(24, 16, QImage::Format_RGB32);
    bitmap.fill(Qt::darkGreen);
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(qRgba(0, 0, 200, 128));
    const std::string temp =
        (dir / ("part-" + std::to_string(QCoreApplication::applicationPid()))).string();
    if (bitmap.save(QString::fromStdString(temp), "BMP"))
        std::filesystem::rename(temp, dir / "a.bmp", ec);
    if (icon.save(QString::fromStdString(temp), "ICO"))
        std::filesystem::rename(temp, dir / "i.ico", ec);
}

void CheckSplit(std::string_view text, const TPictureText& picture) {
    // The path is everything between the prefix and the first comma.
    const std::string_view rest = text.substr(kPicturePrefix.size());
    if (rest.substr(0, picture.path.size()) != picture.path) std::abort();
    if (rest.size() <= picture.path.size() || rest[picture.path.size()] != ',') std::abort();
    if (picture.path.find(',') != std::string::npos) std::abort();
    const std::string_view numbers = rest.substr(picture.path.size() + 1);
    if (numbers.find(',') == std::string_view::npos && picture.height != picture.width &&
        !(picture.height != picture.height && picture.width != picture.width))
        std::abort();
}

void CheckTrim(const TPictureText& picture) {
    const TTrim trim = NormalizeTrim(picture.trimX, picture.trimY, picture.trimSize);
    for (int32_t w : {1, 7, 24, 65535}) {
        const TSourceRect r = TrimSourceRect(w, w / 2 + 1, trim);
        (void)r;
    }
    (void)PlacePictureFrame(0, 0, picture.width, picture.height, 1.5);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnsureGuiApplication();
    MakePictures();
    // The reader keeps at most 255 bytes of a text.
    const std::string text = Str255(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::optional<TPictureText> picture = ParsePictureText(text);
    if (picture.has_value() !=
        (HasPicturePrefix(text) && text.find(',', kPicturePrefix.size()) != std::string::npos))
        std::abort();
    if (!picture) return 0;
    CheckSplit(text, *picture);
    CheckTrim(*picture);
    (void)PictureFormatOf(picture->path);

    TJwwEntityStore store;
    InitStore(store);
    TJwwEntText entity;
    entity.x = -20.0;
    entity.y = -10.0;
    entity.text = text;
    store.texts.push_back(entity);
    TViewState view;
    ComputeExtents(store, view);

    TViewState shown;  // the window over -100..100 on a 64-pixel canvas
    shown.viewWidth = shown.viewHeight = 64;
    shown.viewScale = 0.32;
    TgraAttribute attributes;
    TDrawContext context(shown, attributes);
    TCanvas canvas(shown.viewWidth, shown.viewHeight);
    TPictureCache cache;
    TRenderTarget target{context, canvas, store.state, &cache};
    DrawPictureEntity(target, entity);
    // Again from the cache, larger, so that frames beyond the canvas are drawn too.
    shown.viewScale = 3.7;
    TDrawContext nearer(shown, attributes);
    TRenderTarget again{nearer, canvas, store.state, &cache};
    DrawPictureEntity(again, entity);
    return 0;
}
