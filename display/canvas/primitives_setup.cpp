// Pen and brush set-up of the drawing layer.

#include <cmath>

#include "display/canvas/draw_context.h"

namespace veldra {

TPenStyle PenStyleOfCode(int32_t code) {
    switch (code) {
        case 1:
            return TPenStyle::Dash;
        case 2:
            return TPenStyle::Dot;
        case 3:
            return TPenStyle::DashDot;
        case 4:
            return TPenStyle::DashDotDot;
        case 5:
            return TPenStyle::Null;
        default:
            return TPenStyle::Solid;
    }
}

TBrushStyle BrushStyleOfCode(int32_t code) {
    switch (code) {
        case 1:
            return TBrushStyle::Solid;
        case 2:
            return TBrushStyle::Horizontal;
        case 3:
            return TBrushStyle::Vertical;
        case 4:
            return TBrushStyle::FDiagonal;
        case 5:
            return TBrushStyle::BDiagonal;
        case 6:
            return TBrushStyle::Cross;
        case 7:
            return TBrushStyle::DiagCross;
        default:
            return TBrushStyle::Hollow;
    }
}

TDrawContext::TDrawContext(const TViewState& view, const TgraAttribute& attributes)
    : view_(view), attributes_(attributes) {}

void TDrawContext::ClearCanvas(TCanvas& canvas, int32_t width, int32_t height) {
    const ColorRef background = attributes_.BackgroundColor();
    canvas.SetROP2(TMixMode::CopyPen);
    canvas.SetPenWidth(1);
    canvas.SetPenColor(background);
    // A dashed or null pen left from before would leave the old border pixels.
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetBrushColor(background);
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.Rectangle(0, 0, width, height);
    canvas.SetBrushStyle(TBrushStyle::Hollow);
}

void TDrawContext::SetCanvasPen(TCanvas& canvas, ColorRef color, int32_t styleCode, int32_t width) {
    canvas.SetBrushStyle(TBrushStyle::Hollow);
    canvas.SetPenColor(color);
    canvas.SetPenWidth(width);
    canvas.SetPenStyle(PenStyleOfCode(styleCode));
}

void TDrawContext::SetCanvasBrush(TCanvas& canvas, ColorRef color, int32_t patternCode) {
    canvas.SetBrushColor(color);
    canvas.SetBrushStyle(BrushStyleOfCode(patternCode));
}

void TDrawContext::SetXorMode(TCanvas& canvas) {
    canvas.SetROP2(TMixMode::XorPen);
}

ColorRef TDrawContext::EntityColor(int32_t layerKey, int32_t color) const {
    switch (attributes_.LayerState(layerKey)) {
        case kLayerGray:
            return attributes_.GrayColor();
        case kLayerHidden:
            return attributes_.BackgroundColor();
        default:
            return attributes_.PenColor(color);
    }
}

void TDrawContext::ApplyEntityPen(TCanvas& canvas, int32_t layerKey, int32_t color,
                                  int32_t /*lineType*/, double width) {
    double w = width * view_.viewScale;
    if (!(w > 0.0)) w = 0.0;  // also a width that is not a number
    if (w > kMaxPenPixels) w = kMaxPenPixels;
    canvas.SetBrushStyle(TBrushStyle::Hollow);
    canvas.SetPenColor(EntityColor(layerKey, color));
    canvas.SetPenWidth(static_cast<int32_t>(std::nearbyint(w)));  // halves to even
    canvas.SetPenStyle(TPenStyle::Solid);
}

void TDrawContext::ApplyEntityBrush(TCanvas& canvas, int32_t layerKey, int32_t color,
                                    int32_t patternCode) {
    canvas.SetBrushColor(EntityColor(layerKey, color));
    canvas.SetBrushStyle(BrushStyleOfCode(patternCode));
}

}  // namespace veldra
