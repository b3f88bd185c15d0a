// What the window tells before a fill: the output settings and the picture's size in
// one line, a question before a very large picture; and the drawing's texts in the
// view, so rooms can be found by their names (screen only, never in the picture).

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "app/form1.h"
#include "app/options_panel.h"
#include "app/region_panel.h"
#include "app/text_codec.h"
#include "attributes/gra_attribute.h"
#include "display/canvas/canvas.h"
#include "display/render/render.h"
#include "fill/bmp_writer.h"
#include "fill/output_area.h"

namespace veldra {

namespace {

// Above this the fill asks before it makes the picture.
constexpr double kAskAboveMegabytes = 500.0;
// Texts smaller than this on screen are not drawn: nobody reads them.
constexpr double kMinTextPixels = 3.0;
// More texts than this in the view are ink no one can read, and would take the
// redraw past its budget (about 7 microseconds each, 0.72 s for 100,000): the view
// then shows none of them until it is zoomed in.
constexpr size_t kMaxDrawnTexts = 10000;
constexpr double kMegabyte = 1024.0 * 1024.0;

}  // namespace

TFillOptions TForm1::PanelFillOptions() const {
    return Panel2_->FillOptions(RegionOptions());
}

TForm1::TPictureSize TForm1::PlannedPictureSize(const TFillOptions& options) const {
    TPictureSize size;
    if (!attributes_ || options.print.dpi < 0) return size;
    TViewState view = View();
    view.viewWidth = PaintBox1_->width();
    view.viewHeight = PaintBox1_->height();
    if (!(view.viewScale > 0)) return size;
    TOutputFrame frame;
    if (options.print.area == TOutputArea::Fill) {
        if (!regions_->reportValid) return size;
        const auto fitted =
            FillOutputFrame(view, options.print.dpi,
                            FillContentBox(regions_->report.polygons, store_, *attributes_));
        if (!fitted) return size;
        frame = *fitted;
    } else {
        frame = ViewOutputFrame(view, options.print.dpi);
    }
    const double rowBytes = static_cast<double>(BmpRowBytes(frame.width, options.bitsPerPixel));
    size.width = frame.width;
    size.height = frame.height;
    size.megabytes = rowBytes * static_cast<double>(frame.height) / kMegabyte;
    return size;
}

// "解像度 300 dpi・表示範囲・模様 10 mm 0°｜画像 3508 × 2480 ピクセル 24.9 MB"
void TForm1::UpdateOutputLine() {
    if (!outputLine_ || !regions_) return;
    const TFillOptions options = PanelFillOptions();
    QString text = options.print.dpi == kScreenResolution ? QStringLiteral("解像度 画面と同じ")
                   : options.print.dpi < 0                ? QStringLiteral("解像度 ？")
                                           : QStringLiteral("解像度 %1 dpi").arg(options.print.dpi);
    text += options.print.area == TOutputArea::Fill ? QStringLiteral("・塗り範囲")
                                                    : QStringLiteral("・表示範囲");
    if (options.print.tileWidthMm > 0) {
        text += QStringLiteral("・模様 %1 mm %2°")
                    .arg(options.print.tileWidthMm)
                    .arg(options.print.tileAngleDeg);
    }
    if (regions_->reportValid) {
        const TPictureSize size = PlannedPictureSize(options);
        if (size.width > 0) {
            text += QStringLiteral("｜画像 %1 × %2 ピクセル %3 MB")
                        .arg(size.width)
                        .arg(size.height)
                        .arg(size.megabytes, 0, 'f', 1);
        }
    }
    outputLine_->setText(text);
    outputLine_->setToolTip(text);
    // With a tile width the texture's size is the tile's: the magnification does nothing.
    const bool tiled = options.print.tileWidthMm > 0;
    Panel2_->ShowTiling(tiled);
}

bool TForm1::ConfirmPictureSize(const TFillOptions& options) {
    const TPictureSize size = PlannedPictureSize(options);
    if (size.megabytes <= kAskAboveMegabytes) return true;
    return dialogs_->Ask(this,
                         QStringLiteral("作成する画像は %1 × %2 ピクセル、約 %3 MB になります。\n"
                                        "作図を実行しますか？")
                             .arg(size.width)
                             .arg(size.height)
                             .arg(std::llround(size.megabytes)));
}

// Each text at its reference point, turned by its direction, at its character height
// and width, in its pen colour. Texts off the view or too small to read are skipped;
// more than kMaxDrawnTexts in the view are none (see there).
void TForm1::DrawTexts(TCanvas& canvas) {
    if (!attributes_ || !CheckTexts_ || !CheckTexts_->isChecked()) return;
    const TViewState& view = View();
    const double scale = view.viewScale;
    if (!(scale > 0)) return;
    const double w = canvas.Width(), h = canvas.Height();
    struct TPlaced {
        const TJwwEntText* text;
        double x, y, height;
    };
    std::vector<TPlaced> placed;
    auto place = [&](const TJwwEntText& t) {
        if (!EntityIsDrawn(*attributes_, t.head, false) || t.text.empty()) return true;
        const double height = t.height * scale;
        if (!(height >= kMinTextPixels) || !std::isfinite(height) || height > h) return true;
        // The reference point is in real size on its layer group's scale; the
        // character size is on paper already.
        const double d = EntityDivisor(store_.state, t.head.layerGroup);
        const double px = (t.x / d - view.viewLeft) * scale;
        const double py = h - (t.y / d - view.viewBottom) * scale;
        // At most 255 bytes: half-width characters each, spaced by the spacing.
        const double reach =
            static_cast<double>(t.text.size()) * (t.width + t.spacing) * scale + height;
        if (!std::isfinite(px) || !std::isfinite(py) || px + reach < 0 || px - reach > w ||
            py + reach < 0 || py - reach > h)
            return true;
        placed.push_back({&t, px, py, height});
        return placed.size() <= kMaxDrawnTexts;
    };
    for (const TJwwEntText& t : store_.texts)
        if (!place(t)) return;
    for (const TJwwEntDim& d : store_.dims)
        if (!place(d.text)) return;
    auto drawOne = [&](QPainter& painter, const TPlaced& p) {
        const TJwwEntText& t = *p.text;
        const QString text = FromShiftJis(t.text);
        QFont font = painter.font();
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(p.height))));
        font.setLetterSpacing(QFont::AbsoluteSpacing, t.spacing * scale);
        painter.setFont(font);
        const ColorRef c = attributes_->PenColor(t.head.color);
        painter.setPen(QColor(static_cast<int>(ColorRefRed(c)), static_cast<int>(ColorRefGreen(c)),
                              static_cast<int>(ColorRefBlue(c))));
        painter.save();
        painter.translate(p.x, p.y);
        const double angle = std::atan2(t.dirY, t.dirX);
        if (std::isfinite(angle) && (t.dirX != 0 || t.dirY != 0))
            painter.rotate(-angle * 180 / std::numbers::pi);
        // A full-width character is as wide as the kind's width, twice a half-width one.
        if (t.width > 0 && t.height > 0)
            painter.scale(std::clamp(t.width / t.height, 0.05, 20.0), 1.0);
        painter.drawText(QPointF(0, 0), text);
        painter.restore();
    };
    canvas.PaintWith([&](QPainter& painter) {
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setFont(font());
        for (const TPlaced& p : placed) drawOne(painter, p);
    });
}

}  // namespace veldra
