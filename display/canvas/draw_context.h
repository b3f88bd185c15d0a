#pragma once

// The drawing layer under the entity renderer, the pictures and the main window:
// pen and brush set-up, pixel primitives, and view primitives that take view
// units (y up), clip against the visible window, convert to pixels and draw.
// One context per view: it reads the view state and the graphic attributes it
// was given on every call, and owns the scratch point buffers and the pattern
// phase that runs on along joined patterned segments.

#include <array>
#include <cstdint>
#include <vector>

#include "attributes/gra_attribute.h"
#include "common/real_point.h"
#include "display/canvas/canvas.h"
#include "display/canvas/primitives_geometry.h"
#include "view/view_state.h"

namespace veldra {

// Where the dash or zigzag pattern stood at the end of the last patterned segment.
struct TPatternState {
    int32_t lastLayerKey = -1;
    int32_t lastLineType = -1;
    double lastEndX = 0.0;
    double lastEndY = 0.0;
    int32_t elementIndex = 0;  // the element that was being drawn
    double consumed = 0.0;     // length of that element already used
};

// Shapes of DrawSolidEllipse.
enum class TShapeKind { ShapeFill, ShapeOutline, ShapeRing };

// Pen style codes of SetCanvasPen: 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot,
// 5 none, anything else solid.
TPenStyle PenStyleOfCode(int32_t code);
// Brush pattern codes of SetCanvasBrush and ApplyEntityBrush: 1 solid, 2..7 the
// hatches (horizontal, vertical, falling, rising, cross, diagonal cross),
// anything else hollow.
TBrushStyle BrushStyleOfCode(int32_t code);

// The fill form codes of a solid arc (`extra` of DrawSolidEllipse with ShapeFill).
inline constexpr double kFillWholeEllipse = 100.0;
inline constexpr double kFillSector = 0.0;
inline constexpr double kFillSegment = 5.0;

// Pen widths above this many pixels are cut down.
inline constexpr double kMaxPenPixels = 400.0;
// A polygon whose first edge is longer than this many pixels is drawn as an outline.
inline constexpr double kMaxFilledEdgePixels = 10000.0;
// Curves are cut into this many straight pieces whatever the zoom.
inline constexpr int32_t kArcPieces = 72;

// cos t and sin t of the kArcPieces + 1 parameters of one tessellated curve.
struct TArcCosSin {
    std::array<double, kArcPieces + 1> cosT{};
    std::array<double, kArcPieces + 1> sinT{};
};

class TDrawContext {
  public:
    TDrawContext(const TViewState& view, const TgraAttribute& attributes);

    const TViewState& View() const { return view_; }
    const TgraAttribute& Attributes() const { return attributes_; }

    // Scratch buffers. The caller fills WorldPoints for DrawWorldPolyline and
    // DrawWorldPolygon and empties it afterwards; ScreenPoints is private to the
    // primitives and empty between calls.
    std::vector<TRealPoint> WorldPoints;
    std::vector<TPixelPoint> ScreenPoints;
    int32_t WorldPointCount() const { return static_cast<int32_t>(WorldPoints.size()); }
    int32_t ScreenPointCount() const { return static_cast<int32_t>(ScreenPoints.size()); }

    // Carried between DrawPatternLine calls; see ResetPatternState.
    TPatternState PatternState;

    // --- Set-up -------------------------------------------------------------
    // Whole canvas in the background colour, copy mode, then a hollow brush.
    void ClearCanvas(TCanvas& canvas, int32_t width, int32_t height);
    // Hollow brush; pen colour, style from the code, width in pixels.
    void SetCanvasPen(TCanvas& canvas, ColorRef color, int32_t styleCode, int32_t width);
    void SetCanvasBrush(TCanvas& canvas, ColorRef color, int32_t patternCode);
    // XOR mix mode until the next ClearCanvas.
    void SetXorMode(TCanvas& canvas);
    // Pen of an entity: colour from the layer state and colour number, width in
    // view units (0..400 pixels), solid; hollow brush. The line type is drawn by
    // DrawPatternLine, not by the pen.
    void ApplyEntityPen(TCanvas& canvas, int32_t layerKey, int32_t color, int32_t lineType,
                        double width);
    void ApplyEntityBrush(TCanvas& canvas, int32_t layerKey, int32_t color, int32_t patternCode);
    // The colour an entity is drawn in: GrayColor on a gray layer, BackgroundColor
    // on a hidden one, else its pen colour.
    ColorRef EntityColor(int32_t layerKey, int32_t color) const;

    // --- Pixel primitives ---------------------------------------------------
    // Line with both end pixels.
    void DrawScreenLine(TCanvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Rectangle; 2 pixels or less across collapses to a line or to nothing.
    void DrawScreenRect(TCanvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void DrawScreenPolyline(TCanvas& canvas);
    void DrawScreenPolygon(TCanvas& canvas);

    // --- View primitives ----------------------------------------------------
    // View point to pixel (ViewToPixel of the view state).
    TPixelPoint ToPixel(double x, double y) const { return InlineViewToPixel(view_, x, y); }
    void DrawWorldLine(TCanvas& canvas, double x1, double y1, double x2, double y2);
    // Ellipse (cx, cy), first semi-axis r, second r * flatness, first axis at
    // `tilt`; arcs from parameter `start` over `sweep` (radians, counter-clockwise).
    // `extra` is the fill form (ShapeFill), whole ellipse when 100 (ShapeOutline)
    // or the inner radius (ShapeRing).
    void DrawSolidEllipse(TCanvas& canvas, TShapeKind kind, double cx, double cy, double r,
                          double flatness, double tilt, double start, double sweep, double extra);
    void DrawWorldPolyline(TCanvas& canvas);
    void DrawWorldPolygon(TCanvas& canvas);
    void DrawPatternLine(int32_t layerKey, int32_t lineType, TCanvas& canvas, double x1, double y1,
                         double x2, double y2);
    void DrawPatternArc(int32_t layerKey, int32_t lineType, TCanvas& canvas, double cx, double cy,
                        double r, double flatness, double tilt, double start, double sweep);
    // Start every pattern afresh (at the start of a full redraw).
    void ResetPatternState();

  private:
    // OutCode of a point against the visible window.
    int32_t WindowCode(double x, double y) const;
    // AND of the window codes of all of WorldPoints: non-zero when every point lies
    // beyond one border.
    int32_t CommonWindowCode() const;
    // (ca, sa): unit direction of the segment.
    void DrawDashes(double x1, double y1, double ca, double sa, double remaining, int32_t& index,
                    double& consumed);
    void DrawZigzag(double x1, double y1, double ca, double sa, double remaining, double amplitude,
                    int32_t& index, double& consumed);
    // The record of a line type, nullptr for none.
    const TgraLineType* LineTypeRecord(int32_t lineType) const;
    // Whether a line type draws as a plain line at this scale.
    bool PlainPattern(const TgraLineType* pattern) const;
    // DrawPatternLine for a pattern that is not plain, the ends known to be finite.
    void DrawPatternPiece(int32_t layerKey, int32_t lineType, const TgraLineType& pattern,
                          double x1, double y1, double x2, double y2);
    // Draws lineBatch_ and empties it.
    void FlushLineBatch(TCanvas& canvas);
    // The pieces of a plain curve through the points of `angles`, into lineBatch_.
    void PlainArcPieces(const TEllipseWalker& ellipse, const TArcCosSin& angles);
    // A point's pixel when it lies inside the window (a line between two such
    // points is drawn unclipped).
    struct TVertexPixel {
        bool inside = false;
        TPixelPoint pixel{};
    };
    TVertexPixel VertexPixel(double x, double y) const;
    // DrawWorldLine while batching_ (the dashes and zigzags of DrawPatternPiece).
    void BatchWorldLine(double x1, double y1, double x2, double y2);
    // A pixel line of a view primitive: drawn at once, or kept in lineBatch_.
    void EmitScreenLine(TCanvas& canvas, TPixelPoint a, TPixelPoint b);
    // cos and sin of the parameters `first`, then start + i * step for i = 1..kArcPieces.
    // The last set is remembered: every circle and whole ellipse has the same one.
    const TArcCosSin& ArcAngles(double first, double start, double step);
    // The parameters of whole filled or outlined ellipses: 0, then kWholeStep added
    // up point by point.
    const TArcCosSin& WholeEllipseAngles();
    // Cuts WorldPoints near the canvas into farClipped_ (vertices far beyond it).
    void CutFarPolygon(const TCanvas& canvas);
    void ArcPoints(double cx, double cy, double r, double flatness, double tilt, double start,
                   double sweep);

    const TViewState& view_;
    const TgraAttribute& attributes_;
    int32_t patternCount_ = 0;
    const double* elements_ = nullptr;    // of the line type being drawn
    std::vector<TRealPoint> farClipped_;  // polygon cut near the canvas
    // Pixel lines of the curve being drawn, pairs of ends, handed to the canvas in
    // one call when the curve is done (while batching_).
    std::vector<TPixelPoint> lineBatch_;
    bool batching_ = false;
    TArcCosSin arcAngles_;
    std::array<uint64_t, 3> arcAnglesKey_{};  // bits of first, start, step
    bool arcAnglesValid_ = false;
    TArcCosSin wholeAngles_;
    bool wholeAnglesValid_ = false;
};

}  // namespace veldra
