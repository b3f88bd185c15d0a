#pragma once

// A raster canvas with the semantics of a Windows device context, as the drawing
// code relies on them: a pen (colour, width, style, copy or XOR mix) and a brush
// (colour, solid, hatch or hollow); LineTo leaves out its end pixel, Rectangle
// leaves out the right and bottom edge, Polygon fills with the alternate rule.
// The pixels live in a 32-bit RGB image; no antialiasing.
//
// Only this class and picture decoding touch Qt: the header forward-declares the
// Qt types so the drawing code above stays free of them.

#include <cstdint>
#include <functional>
#include <memory>

#include "view/view_state.h"

class QImage;
class QPainter;

namespace veldra {

// Pen styles. Dash patterns apply to thin pens only; a wider pen is solid.
enum class TPenStyle : uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Null };

// Brush styles; the hatches are 8 x 8 patterns anchored at the canvas origin and
// leave the pixels between their lines untouched.
enum class TBrushStyle : uint8_t {
    Solid,
    Horizontal,
    Vertical,
    FDiagonal,  // lines falling from left to right
    BDiagonal,  // lines rising from left to right
    Cross,      // horizontal and vertical
    DiagCross,  // both diagonals
    Hollow      // no fill
};

// Mix mode of pen and brush: plain copy, or XOR of the colour with the pixel
// (drawing the same shape twice restores the pixels).
enum class TMixMode : uint8_t { CopyPen, XorPen };

// Returned by GetPixel outside the canvas.
inline constexpr uint32_t kInvalidColor = 0xFFFFFFFFu;

class TCanvas {
  public:
    // A blank canvas of width x height pixels, white. Sizes below 1 give a 1 x 1 canvas.
    TCanvas(int32_t width, int32_t height);
    // Draws on a copy of an existing picture (converted to 32-bit RGB).
    explicit TCanvas(const QImage& image);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    int32_t Width() const;
    int32_t Height() const;

    // Colours are COLORREF values 0x00BBGGRR.
    void SetPenColor(uint32_t color);
    uint32_t PenColor() const;
    // Pixels; 0 and 1 both give the thinnest line, negative counts as 0.
    void SetPenWidth(int32_t width);
    int32_t PenWidth() const;
    void SetPenStyle(TPenStyle style);
    TPenStyle PenStyle() const;
    void SetROP2(TMixMode mode);
    TMixMode MixMode() const;
    void SetBrushColor(uint32_t color);
    uint32_t BrushColor() const;
    void SetBrushStyle(TBrushStyle style);
    TBrushStyle BrushStyle() const;

    // Current position for LineTo.
    void MoveToEx(int32_t x, int32_t y);
    TPixelPoint PenPosition() const;
    // Line from the current position to (x, y) without the pixel (x, y); the
    // current position moves to (x, y). A thin pen's dash pattern runs on across
    // LineTo calls and restarts at MoveToEx.
    void LineTo(int32_t x, int32_t y);
    // MoveToEx (x1, y1) followed by LineTo (x2, y2), in one call.
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Lines between the pairs of points (a, b) in `ends`, each drawn as DrawLine(a, b)
    // followed, for a thin pen that is not null, by the pixel b in the pen colour
    // and mix mode: the pieces of one curve in one call.
    void DrawLinesWithEnds(const TPixelPoint* ends, int32_t pairCount);
    // Sets one pixel to the colour whatever the mix mode; nothing outside.
    void SetPixel(int32_t x, int32_t y, uint32_t color);
    // One pixel in the pen colour and the current mix mode (XORed in XOR mode).
    void PlotPenPixel(int32_t x, int32_t y);
    // COLORREF of a pixel, kInvalidColor outside the canvas.
    uint32_t GetPixel(int32_t x, int32_t y) const;

    // Outline with the pen, inside with the brush. Corners in any order; the
    // thin outline covers columns left..right-1 and rows top..bottom-1.
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Lines through the points; every vertex is drawn once, the last point not.
    void Polyline(const TPixelPoint* points, int32_t count);
    // Closed outline with the pen, inside filled with the brush (alternate rule).
    void Polygon(const TPixelPoint* points, int32_t count);

    // Draws a picture stretched into the pixel rectangle [left, right) x [top, bottom),
    // opaque, nearest neighbour; a reversed rectangle mirrors the picture.
    void StretchDraw(int32_t left, int32_t top, int32_t right, int32_t bottom,
                     const QImage& picture);
    // Draws a picture unscaled with its top-left corner at (x, y).
    void Draw(int32_t x, int32_t y, const QImage& picture);

    // Runs `paint` with a painter on the pixels (picture decoding, texture fill);
    // the painter's state is restored afterwards.
    void PaintWith(const std::function<void(QPainter&)>& paint);

    // The pixels, with all drawing finished.
    const QImage& Image();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace veldra
