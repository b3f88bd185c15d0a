// Lines and elliptic arcs drawn with a line-type pattern whose phase runs on
// across segments drawn one after another.

#include <cmath>

#include "common/my_func.h"
#include "common/tolerances.h"
#include "display/canvas/clipping.h"
#include "display/canvas/draw_context.h"
#include "display/canvas/primitives_clip.h"
#include "display/canvas/primitives_geometry.h"

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

// Length of the next piece of a patterned segment: what is left of the current
// element, cut to what is left of the segment (all of it once the element limit is hit).
inline double PieceLength(double element, double consumed, double remaining, int64_t n) {
    const double len = std::fabs(element) - consumed;
    return len > remaining || n >= kMaxElementsPerSegment ? remaining : len;
}

// Takes a piece off the segment. True when the segment is used up (the element's
// consumed length carries on to the next segment); else the next element begins.
inline bool EndPiece(double len, double& remaining, double& consumed, int32_t& index,
                     int32_t count) {
    remaining -= len;
    if (remaining <= kDoneTolerance) {
        consumed += len;
        return true;
    }
    consumed = 0.0;
    if (++index == count) index = 0;  // index stays in 0..count-1
    return false;
}

}  // namespace

// DrawWorldLine into lineBatch_, step by step the same.
inline void TDrawContext::BatchWorldLine(double x1, double y1, double x2, double y2) {
    TPixelPoint a, b;
    if (!ClipLineToPixels(view_, x1, y1, x2, y2, a, b)) return;
    lineBatch_.push_back(a);
    lineBatch_.push_back(b);
}

inline TDrawContext::TVertexPixel TDrawContext::VertexPixel(double x, double y) const {
    if (!std::isfinite(x) || !std::isfinite(y) || WindowCode(x, y) != 0) return {};
    return {true, ToPixel(x, y)};
}

void TDrawContext::ResetPatternState() {
    PatternState = TPatternState{};
}

void TDrawContext::DrawDashes(double x1, double y1, double ca, double sa, double remaining,
                              int32_t& index, double& consumed) {
    double cx = x1, cy = y1;
    for (int64_t n = 0;; ++n) {
        const double element = elements_[index];
        const double len = PieceLength(element, consumed, remaining, n);
        const double nx = cx + len * ca, ny = cy + len * sa;
        if (element >= 0) BatchWorldLine(cx, cy, nx, ny);
        cx = nx;
        cy = ny;
        if (EndPiece(len, remaining, consumed, index, patternCount_)) return;
    }
}

void TDrawContext::DrawZigzag(double x1, double y1, double ca, double sa, double remaining,
                              double amplitude, int32_t& index, double& consumed) {
    // Sideways offsets of the vertices for positive (to the left of the direction)
    // and negative elements.
    const double leftX = -amplitude * sa, leftY = amplitude * ca;
    const double rightX = amplitude * sa, rightY = -amplitude * ca;
    double cx = x1, cy = y1;
    double px = x1, py = y1;  // previous vertex
    // Each vertex ends one zigzag line and starts the next: its window code and
    // pixel serve both.
    TVertexPixel previous = VertexPixel(px, py);
    for (int64_t n = 0;; ++n) {
        const double element = elements_[index];
        const double len = PieceLength(element, consumed, remaining, n);
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
        const TVertexPixel vertex = VertexPixel(vx, vy);
        if (previous.inside && vertex.inside) {
            lineBatch_.push_back(previous.pixel);
            lineBatch_.push_back(vertex.pixel);
        } else {
            BatchWorldLine(px, py, vx, vy);
        }
        previous = vertex;
        cx = bx;
        cy = by;
        px = vx;
        py = vy;
        if (EndPiece(len, remaining, consumed, index, patternCount_)) return;
    }
}

const TgraLineType* TDrawContext::LineTypeRecord(int32_t lineType) const {
    const std::vector<TgraLineType>& table = attributes_.LineTypeTable();
    const int32_t record = LineTypeIndex(lineType);
    return record >= 0 && static_cast<size_t>(record) < table.size() ? &table[record] : nullptr;
}

void TDrawContext::DrawPatternLine(int32_t layerKey, int32_t lineType, TCanvas& canvas, double x1,
                                   double y1, double x2, double y2) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
        return;
    }
    const TgraLineType* pattern = LineTypeRecord(lineType);
    if (PlainPattern(pattern)) {
        DrawWorldLine(canvas, x1, y1, x2, y2);
        return;
    }
    // The dashes are collected and drawn in one canvas call, as for curves.
    lineBatch_.clear();
    batching_ = true;
    DrawPatternPiece(layerKey, lineType, *pattern, x1, y1, x2, y2);
    batching_ = false;
    FlushLineBatch(canvas);
}

bool TDrawContext::PlainPattern(const TgraLineType* pattern) const {
    return pattern == nullptr || pattern->Count <= 0 ||
           !(pattern->Length * view_.viewScale > kMinPatternPixels);
}

void TDrawContext::FlushLineBatch(TCanvas& canvas) {
    if (!lineBatch_.empty()) {
        canvas.DrawLinesWithEnds(lineBatch_.data(), static_cast<int32_t>(lineBatch_.size() / 2));
    }
    lineBatch_.clear();
}

void TDrawContext::DrawPatternPiece(int32_t layerKey, int32_t lineType, const TgraLineType& pattern,
                                    double x1, double y1, double x2, double y2) {
    const int32_t count = pattern.Count;
    if (!ClipToWindow(view_, x1, y1, x2, y2)) return;
    int32_t index = 0;
    double consumed = 0.0;
    const TPatternState& s = PatternState;
    if (layerKey == s.lastLayerKey && lineType == s.lastLineType &&
        std::fabs(x1 - s.lastEndX) <= kJoinTolerance &&
        std::fabs(y1 - s.lastEndY) <= kJoinTolerance) {
        index = s.elementIndex;
        consumed = s.consumed;
    }
    const double amplitude = pattern.Amplitude;
    patternCount_ = std::min(count, int32_t{kMaxPatternElements});
    elements_ = pattern.Elements.data();
    if (index < 0 || index >= patternCount_) {
        index = 0;
        consumed = 0.0;
    }
    const double remaining = Distance2D(x1, y1, x2, y2);
    if (!(remaining * view_.viewScale <= kMaxPatternedPixels)) {
        BatchWorldLine(x1, y1, x2, y2);
        return;
    }
    // Unit direction of the segment; along x for a segment of no length.
    double ca = 1.0, sa = 0.0;
    if (remaining > 0.0) {
        ca = (x2 - x1) / remaining;
        sa = (y2 - y1) / remaining;
    }
    if (amplitude == 0.0) {
        DrawDashes(x1, y1, ca, sa, remaining, index, consumed);
    } else {
        DrawZigzag(x1, y1, ca, sa, remaining, amplitude, index, consumed);
    }
    PatternState = {layerKey, lineType, x2, y2, index, consumed};
}

void TDrawContext::PlainArcPieces(const TEllipseWalker& ellipse, const TArcCosSin& angles) {
    // Each point's window code and pixel serve both pieces that meet there; only
    // pieces that cross the window border are clipped.
    TRealPoint a = ellipse.FromCosSin(angles.cosT[0], angles.sinT[0]);
    bool aFinite = std::isfinite(a.X) && std::isfinite(a.Y);
    int32_t aCode = WindowCode(a.X, a.Y);
    TPixelPoint aPixel{};
    bool aPixelKnown = false;
    for (size_t i = 1; i <= size_t{kArcPieces}; ++i) {
        const TRealPoint b = ellipse.FromCosSin(angles.cosT[i], angles.sinT[i]);
        const bool bFinite = std::isfinite(b.X) && std::isfinite(b.Y);
        const int32_t bCode = WindowCode(b.X, b.Y);
        bool bPixelKnown = false;
        TPixelPoint bPixel{};
        if (aFinite && bFinite) {
            if (aCode == 0 && bCode == 0) {
                if (!aPixelKnown) aPixel = ToPixel(a.X, a.Y);
                bPixel = ToPixel(b.X, b.Y);
                bPixelKnown = true;
                lineBatch_.push_back(aPixel);
                lineBatch_.push_back(bPixel);
            } else if ((aCode & bCode) == 0) {
                double x1 = a.X, y1 = a.Y, x2 = b.X, y2 = b.Y;
                if (ClipSegment(x1, y1, x2, y2, view_.viewLeft, view_.viewBottom, view_.viewRight,
                                view_.viewTop) != kSegmentOutside) {
                    lineBatch_.push_back(ToPixel(x1, y1));
                    lineBatch_.push_back(ToPixel(x2, y2));
                }
            }
        }
        a = b;
        aFinite = bFinite;
        aCode = bCode;
        aPixel = bPixel;
        aPixelKnown = bPixelKnown;
    }
}

void TDrawContext::DrawPatternArc(int32_t layerKey, int32_t lineType, TCanvas& canvas, double cx,
                                  double cy, double r, double flatness, double tilt, double start,
                                  double sweep) {
    for (double v : {cx, cy, r, flatness, tilt, start, sweep}) {
        if (!std::isfinite(v)) return;
    }
    const double step = sweep / kArcPieces;
    const TEllipseWalker ellipse(cx, cy, r, flatness, tilt);
    const TArcCosSin& angles = ArcAngles(start, start, step);
    const TgraLineType* pattern = LineTypeRecord(lineType);
    // The pieces are collected and drawn in one canvas call; nothing else draws
    // in between, so the pixels are those of drawing them one by one.
    lineBatch_.clear();
    if (PlainPattern(pattern)) {
        PlainArcPieces(ellipse, angles);
    } else {
        batching_ = true;
        TRealPoint previous = ellipse.FromCosSin(angles.cosT[0], angles.sinT[0]);
        for (size_t i = 1; i <= size_t{kArcPieces}; ++i) {
            const TRealPoint p = ellipse.FromCosSin(angles.cosT[i], angles.sinT[i]);
            if (std::isfinite(previous.X) && std::isfinite(previous.Y) && std::isfinite(p.X) &&
                std::isfinite(p.Y)) {
                DrawPatternPiece(layerKey, lineType, *pattern, previous.X, previous.Y, p.X, p.Y);
            }
            previous = p;
        }
        batching_ = false;
    }
    FlushLineBatch(canvas);
}

}  // namespace veldra
