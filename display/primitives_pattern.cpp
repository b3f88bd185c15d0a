// Lines and elliptic arcs drawn with a line-type pattern whose phase runs on
// across segments drawn one after another.

#include <cmath>

#include "common/my_func.h"
#include "common/tolerances.h"
#include "display/clipping.h"
#include "display/draw_context.h"
#include "display/primitives_geometry.h"

namespace veldra {

namespace {

constexpr double kJoinTolerance = 1e-10;
constexpr double kDoneTolerance = 1e-10;
// Patterns shorter than this many pixels per period are drawn as plain lines.
constexpr double kMinPatternPixels = 2.0;
// A clipped segment is never longer than the canvas diagonal when the window and
// the scale agree with the canvas. Longer ones (a window far larger than the
// canvas) are drawn plain, and the element loop is bounded all the same.
constexpr double kMaxPatternedPixels = 65536.0;
constexpr int64_t kMaxElementsPerSegment = 1 << 18;

}  // namespace

void TDrawContext::ResetPatternState() {
    PatternState = TPatternState{};
}

void TDrawContext::DrawDashes(TCanvas& canvas, double x1, double y1, double ca, double sa,
                              double remaining, int32_t& index, double& consumed) {
    double cx = x1, cy = y1;
    for (int64_t n = 0;; ++n) {
        const double element = elements_[index];
        double len = std::fabs(element) - consumed;
        if (len > remaining || n >= kMaxElementsPerSegment) len = remaining;
        const double nx = cx + len * ca, ny = cy + len * sa;
        if (element >= 0) DrawWorldLine(canvas, cx, cy, nx, ny);
        cx = nx;
        cy = ny;
        remaining -= len;
        if (remaining <= kDoneTolerance) {
            consumed += len;
            return;
        }
        consumed = 0.0;
        index = (index + 1) % patternCount_;
    }
}

void TDrawContext::DrawZigzag(TCanvas& canvas, double x1, double y1, double ca, double sa,
                              double remaining, double amplitude, int32_t& index,
                              double& consumed) {
    // Sideways offsets of the vertices for positive (to the left of the direction)
    // and negative elements.
    const double leftX = -amplitude * sa, leftY = amplitude * ca;
    const double rightX = amplitude * sa, rightY = -amplitude * ca;
    double cx = x1, cy = y1;
    double px = x1, py = y1;  // previous vertex
    for (int64_t n = 0;; ++n) {
        const double element = elements_[index];
        double len = std::fabs(element) - consumed;
        if (len > remaining || n >= kMaxElementsPerSegment) len = remaining;
        const double bx = cx + len * ca, by = cy + len * sa;
        double vx = bx, vy = by;
        if (remaining - len > kDoneTolerance) {  // the zigzag returns to the line at the end
            if (element > 0) {
                vx += leftX;
                vy += leftY;
            } else if (element < 0) {
                vx += rightX;
                vy += rightY;
            }
        }
        DrawWorldLine(canvas, px, py, vx, vy);
        cx = bx;
        cy = by;
        px = vx;
        py = vy;
        remaining -= len;
        if (remaining <= kDoneTolerance) {
            consumed += len;
            return;
        }
        consumed = 0.0;
        index = (index + 1) % patternCount_;
    }
}

void TDrawContext::DrawPatternLine(int32_t layerKey, int32_t lineType, TCanvas& canvas, double x1,
                                   double y1, double x2, double y2) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
        return;
    }
    // The line type's record, looked up once (the hot path of every curve).
    const std::vector<TgraLineType>& table = attributes_.LineTypeTable();
    const int32_t record = LineTypeIndex(lineType);
    const TgraLineType* pattern =
        record >= 0 && static_cast<size_t>(record) < table.size() ? &table[record] : nullptr;
    const int32_t count = pattern != nullptr ? pattern->Count : 0;
    const double period = pattern != nullptr ? pattern->Length * view_.viewScale : 0.0;
    if (count <= 0 || !(period > kMinPatternPixels)) {
        DrawWorldLine(canvas, x1, y1, x2, y2);
        return;
    }
    if (ClipSegment(x1, y1, x2, y2, view_.viewLeft, view_.viewBottom, view_.viewRight,
                    view_.viewTop) == kSegmentOutside) {
        return;
    }
    int32_t index = 0;
    double consumed = 0.0;
    const TPatternState& s = PatternState;
    if (layerKey == s.lastLayerKey && lineType == s.lastLineType &&
        std::fabs(x1 - s.lastEndX) <= kJoinTolerance &&
        std::fabs(y1 - s.lastEndY) <= kJoinTolerance) {
        index = s.elementIndex;
        consumed = s.consumed;
    }
    const double amplitude = pattern->Amplitude;
    patternCount_ = std::min(count, int32_t{kMaxPatternElements});
    elements_ = pattern->Elements.data();
    if (index < 0 || index >= patternCount_) {
        index = 0;
        consumed = 0.0;
    }
    const double remaining = Distance2D(x1, y1, x2, y2);
    if (!(remaining * view_.viewScale <= kMaxPatternedPixels)) {
        DrawWorldLine(canvas, x1, y1, x2, y2);
        return;
    }
    // Unit direction of the segment; along x for a segment of no length.
    double ca = 1.0, sa = 0.0;
    if (remaining > 0.0) {
        ca = (x2 - x1) / remaining;
        sa = (y2 - y1) / remaining;
    }
    if (amplitude == 0.0) {
        DrawDashes(canvas, x1, y1, ca, sa, remaining, index, consumed);
    } else {
        DrawZigzag(canvas, x1, y1, ca, sa, remaining, amplitude, index, consumed);
    }
    PatternState = {layerKey, lineType, x2, y2, index, consumed};
}

void TDrawContext::DrawPatternArc(int32_t layerKey, int32_t lineType, TCanvas& canvas, double cx,
                                  double cy, double r, double flatness, double tilt, double start,
                                  double sweep) {
    for (double v : {cx, cy, r, flatness, tilt, start, sweep}) {
        if (!std::isfinite(v)) return;
    }
    const double step = sweep / kArcPieces;
    const TEllipseWalker ellipse(cx, cy, r, flatness, tilt);
    TRealPoint previous = ellipse.At(start);
    for (int32_t i = 1; i <= kArcPieces; ++i) {
        const TRealPoint p = ellipse.At(start + i * step);
        DrawPatternLine(layerKey, lineType, canvas, previous.X, previous.Y, p.X, p.Y);
        previous = p;
    }
}

}  // namespace veldra
