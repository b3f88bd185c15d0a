// Drawing steps of the view on the paint box's canvas, through the shared drawing
// layer.

#include "app/form1.h"
#include "display/canvas/canvas.h"
#include "display/canvas/draw_context.h"
#include "display/render/view_redraw.h"

namespace veldra {

namespace {
constexpr int32_t kSolidPen = 0;
constexpr int32_t kHollowBrush = 0;
constexpr int32_t kBandPenWidth = 3;
}  // namespace

void TForm1::ClearView(TCanvas& canvas) {
    if (!attributes_) return;
    TDrawContext context(view_, *attributes_);
    context.ClearCanvas(canvas, canvas.Width(), canvas.Height());
}

void TForm1::DrawFrame(TCanvas& canvas, uint32_t color) {
    if (!attributes_) return;
    TDrawContext context(view_, *attributes_);
    context.SetCanvasPen(canvas, color, kSolidPen, 0);
    context.DrawScreenRect(canvas, 0, 0, canvas.Width() - 1, canvas.Height() - 1);
}

void TForm1::DrawView(TCanvas& canvas) {
    if (!attributes_) return;
    TDrawContext context(view_, *attributes_);
    escapePoll_.StartPass();
    RedrawViewOnto(context, canvas, store_, [this] { return escapePoll_.IsEscapeDown(); });
}

// Drawn a second time with the same corners, the band is gone again (XOR).
void TForm1::DrawRubberBand() {
    if (!attributes_) return;
    TCanvas& canvas = PaintBox1_->Canvas();
    TDrawContext context(view_, *attributes_);
    context.SetXorMode(canvas);
    context.SetCanvasPen(canvas, BandColor(), kSolidPen, kBandPenWidth);
    context.SetCanvasBrush(canvas, 0, kHollowBrush);
    context.DrawScreenRect(canvas, BandX1_, BandY1_, BandX2_, BandY2_);
    PaintBox1_->update();
}

}  // namespace veldra
