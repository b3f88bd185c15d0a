// Pixel primitives: integer canvas pixels, the current pen and brush as they are.

#include <cstdlib>

#include "display/canvas/draw_context.h"

namespace veldra {

void TDrawContext::DrawScreenLine(TCanvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    canvas.DrawLine(x1, y1, x2, y2);  // MoveToEx, LineTo
    if (canvas.PenStyle() == TPenStyle::Null) return;
    // A wide pen's round cap has covered the end pixel already.
    if (canvas.PenWidth() > 1) return;
    if (canvas.MixMode() == TMixMode::CopyPen) {
        canvas.SetPixel(x2, y2, canvas.PenColor());
    } else {
        // In XOR mode the end pixel is XORed like the rest of the line, so that
        // drawing the line twice restores the pixels (the rubber band).
        canvas.PlotPenPixel(x2, y2);
    }
}

void TDrawContext::DrawScreenRect(TCanvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int64_t w = std::llabs(int64_t{x1} - x2);
    const int64_t h = std::llabs(int64_t{y1} - y2);
    if (w <= 2 && h <= 2) return;
    if (w <= 2) {
        DrawScreenLine(canvas, x1, y1, x1, y2);
    } else if (h <= 2) {
        DrawScreenLine(canvas, x1, y1, x2, y1);
    } else {
        canvas.Rectangle(x1, y1, x2, y2);
    }
}

void TDrawContext::DrawScreenPolyline(TCanvas& canvas) {
    canvas.Polyline(ScreenPoints.data(), ScreenPointCount());
}

void TDrawContext::DrawScreenPolygon(TCanvas& canvas) {
    canvas.Polygon(ScreenPoints.data(), ScreenPointCount());
}

}  // namespace veldra
