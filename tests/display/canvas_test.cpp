#include "display/canvas/canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <climits>
#include <random>
#include <set>
#include <utility>

namespace veldra {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;  // COLORREF 0x00BBGGRR

using PixelSet = std::set<std::pair<int, int>>;

// Pixels that differ from white.
PixelSet Inked(TCanvas& c) {
    PixelSet s;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (c.GetPixel(x, y) != kWhite) s.insert({x, y});
    return s;
}

QImage Snapshot(TCanvas& c) {
    return c.Image().copy();
}

// Some pixels of every colour, so that XOR has something to work on.
void Noise(TCanvas& c) {
    std::mt19937 rng(7);
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) c.SetPixel(x, y, rng() & 0xFFFFFF);
}

TEST(CanvasLineTest, LineToLeavesOutItsEndPixelInEveryDirection) {
    const std::pair<int, int> ends[] = {{8, 5}, {2, 5}, {5, 9}, {5, 1}, {9, 9}, {1, 1}};
    for (auto [x, y] : ends) {
        TCanvas c(12, 12);
        c.MoveToEx(5, 5);
        c.LineTo(x, y);
        EXPECT_EQ(c.GetPixel(5, 5), 0u) << x << "," << y;
        EXPECT_EQ(c.GetPixel(x, y), kWhite) << x << "," << y;
        EXPECT_EQ(Inked(c).size(), static_cast<size_t>(std::max(std::abs(x - 5), std::abs(y - 5))));
        EXPECT_EQ(c.PenPosition().x, x);
    }
}

// The pixel of step i as the exact rule gives it: round half up, in absolute terms.
PixelSet ReferenceLine(int x0, int y0, int x1, int y1, int w, int h) {
    PixelSet s;
    const long dx = x1 - x0, dy = y1 - y0;
    const bool xMajor = std::labs(dx) >= std::labs(dy);
    const long len = xMajor ? std::labs(dx) : std::labs(dy);
    for (long i = 0; i < len; ++i) {
        const long major = (xMajor ? x0 : y0) + i * ((xMajor ? dx : dy) > 0 ? 1 : -1);
        const long num = 2 * i * (xMajor ? dy : dx) + len;
        long q = num / (2 * len);
        if (num % (2 * len) != 0 && num < 0) --q;
        const long minor = (xMajor ? y0 : x0) + q;
        const long x = xMajor ? major : minor, y = xMajor ? minor : major;
        if (x >= 0 && y >= 0 && x < w && y < h)
            s.insert({static_cast<int>(x), static_cast<int>(y)});
    }
    return s;
}

TEST(CanvasLineTest, ClippedLinesMatchTheUnclippedRule) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(-60, 100);
    for (int k = 0; k < 400; ++k) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        TCanvas c(40, 30);
        c.MoveToEx(x0, y0);
        c.LineTo(x1, y1);
        ASSERT_EQ(Inked(c), ReferenceLine(x0, y0, x1, y1, 40, 30))
            << x0 << "," << y0 << " -> " << x1 << "," << y1;
    }
}

TEST(CanvasLineTest, ALineAndItsReverseCoverTheSamePixels) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> coord(0, 31);
    for (int k = 0; k < 200; ++k) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        TCanvas a(32, 32), b(32, 32);
        a.MoveToEx(x0, y0);
        a.LineTo(x1, y1);
        a.SetPixel(x1, y1, 0);
        b.MoveToEx(x1, y1);
        b.LineTo(x0, y0);
        b.SetPixel(x0, y0, 0);
        ASSERT_EQ(Inked(a), Inked(b)) << x0 << "," << y0 << " -> " << x1 << "," << y1;
    }
}

TEST(CanvasLineTest, ExtremeCoordinatesAreCutToTheCanvas) {
    TCanvas c(20, 10);
    c.MoveToEx(INT_MIN, 4);
    c.LineTo(INT_MAX, 4);
    c.MoveToEx(INT_MIN, INT_MIN);
    c.LineTo(INT_MAX, INT_MAX);  // exactly diagonal
    PixelSet expected;
    for (int x = 0; x < 20; ++x) expected.insert({x, 4});
    for (int i = 0; i < 10; ++i) expected.insert({i, i});
    EXPECT_EQ(Inked(c), expected);
}

TEST(CanvasLineTest, StyledThinPensRunTheirPatternOnAcrossLineTo) {
    TCanvas c(40, 3);
    c.SetPenStyle(TPenStyle::Dot);  // 3 on, 3 off
    c.MoveToEx(0, 1);
    c.LineTo(4, 1);
    c.LineTo(20, 1);
    std::string row;
    for (int x = 0; x < 12; ++x) row += c.GetPixel(x, 1) == 0 ? '#' : '.';
    EXPECT_EQ(row, "###...###...");

    c.MoveToEx(20, 0);  // a new start restarts the pattern
    c.LineTo(30, 0);
    row.clear();
    for (int x = 20; x < 27; ++x) row += c.GetPixel(x, 0) == 0 ? '#' : '.';
    EXPECT_EQ(row, "###...#");
}

TEST(CanvasLineTest, NullPenDrawsNothingAndWidePensIgnoreDashes) {
    TCanvas c(40, 9);
    c.SetPenStyle(TPenStyle::Null);
    c.MoveToEx(0, 1);
    c.LineTo(30, 1);
    EXPECT_TRUE(Inked(c).empty());
    c.SetPenStyle(TPenStyle::Dash);
    c.SetPenWidth(3);
    c.MoveToEx(5, 5);
    c.LineTo(35, 5);
    for (int x = 5; x <= 35; ++x) EXPECT_EQ(c.GetPixel(x, 5), 0u) << x;
}

TEST(CanvasLineTest, WideLinesAreCentredWithSymmetricRoundCaps) {
    TCanvas c(40, 20);
    c.SetPenWidth(3);
    c.MoveToEx(10, 10);
    c.LineTo(30, 10);
    for (int x = 10; x <= 30; ++x)
        for (int y = 9; y <= 11; ++y) EXPECT_EQ(c.GetPixel(x, y), 0u) << x << "," << y;
    EXPECT_EQ(c.GetPixel(20, 8), kWhite);
    EXPECT_EQ(c.GetPixel(20, 12), kWhite);
    // The caps reach as far beyond each end.
    int left = 10, right = 30;
    while (c.GetPixel(left - 1, 10) == 0) --left;
    while (c.GetPixel(right + 1, 10) == 0) ++right;
    EXPECT_EQ(10 - left, right - 30);
}

TEST(CanvasLineTest, ZeroLengthWideLineIsARoundDot) {
    TCanvas c(20, 20);
    c.SetPenWidth(5);
    c.MoveToEx(10, 10);
    c.LineTo(10, 10);
    EXPECT_EQ(c.GetPixel(10, 10), 0u);
    EXPECT_EQ(c.GetPixel(8, 10), 0u);
    EXPECT_EQ(c.GetPixel(12, 10), 0u);
    EXPECT_EQ(c.GetPixel(10, 14), kWhite);
}

TEST(CanvasXorTest, DrawingTwiceRestoresEveryPixel) {
    for (int width : {0, 1, 2, 3, 7}) {
        TCanvas c(60, 50);
        Noise(c);
        const QImage before = Snapshot(c);
        const TPixelPoint star[] = {{30, 2}, {42, 45}, {5, 15}, {55, 15}, {18, 45}};
        const TPixelPoint path[] = {{3, 3}, {50, 3}, {50, 40}, {3, 3}, {20, 48}};
        for (int pass = 0; pass < 2; ++pass) {
            c.SetROP2(TMixMode::XorPen);
            c.SetPenColor(0x00FFFF);
            c.SetPenWidth(width);
            c.SetBrushStyle(TBrushStyle::Hollow);
            c.Rectangle(4, 6, 40, 30);
            c.Rectangle(10, 10, 11, 40);  // one column wide
            c.Polyline(path, 5);
            c.SetBrushStyle(TBrushStyle::DiagCross);
            c.Polygon(star, 5);
            c.MoveToEx(0, 49);
            c.LineTo(59, 0);
            c.PlotPenPixel(7, 7);
        }
        EXPECT_EQ(Snapshot(c), before) << "pen width " << width;
    }
}

TEST(CanvasXorTest, XorKeepsTheImageOpaqueAndSetPixelIgnoresTheMode) {
    TCanvas c(20, 20);
    c.SetROP2(TMixMode::XorPen);
    c.SetPenColor(0x0000FF);
    c.SetPenWidth(4);
    c.MoveToEx(2, 10);
    c.LineTo(18, 10);
    EXPECT_EQ(qAlpha(c.Image().pixel(10, 10)), 255);
    EXPECT_EQ(c.GetPixel(10, 10), 0xFFFF00u);  // white XOR red
    c.SetPixel(10, 10, kRed);
    EXPECT_EQ(c.GetPixel(10, 10), kRed);
    c.PlotPenPixel(10, 10);
    EXPECT_EQ(c.GetPixel(10, 10), 0u);
}

TEST(CanvasRectangleTest, LeavesOutTheRightAndBottomEdge) {
    TCanvas c(12, 12);
    c.SetBrushColor(kRed);
    c.Rectangle(8, 7, 2, 3);  // corners in any order
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool border =
                (x == 2 || x == 7 || y == 3 || y == 6) && x >= 2 && x <= 7 && y >= 3 && y <= 6;
            const bool inside = x > 2 && x < 7 && y > 3 && y < 6;
            const uint32_t want = border ? 0u : inside ? kRed : kWhite;
            EXPECT_EQ(c.GetPixel(x, y), want) << x << "," << y;
        }
    }
}

TEST(CanvasRectangleTest, NullPenFillIsOnePixelSmaller) {
    TCanvas c(12, 12);
    c.SetPenStyle(TPenStyle::Null);
    c.SetBrushColor(kRed);
    c.Rectangle(2, 3, 8, 7);
    PixelSet expected;
    for (int y = 3; y < 6; ++y)
        for (int x = 2; x < 7; ++x) expected.insert({x, y});
    EXPECT_EQ(Inked(c), expected);
}

TEST(CanvasRectangleTest, ClearsTheWholeCanvasLikeABackgroundFill) {
    TCanvas c(9, 7);
    c.SetPenColor(kRed);
    c.SetBrushColor(kRed);
    c.Rectangle(0, 0, 9, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) ASSERT_EQ(c.GetPixel(x, y), kRed);
}

TEST(CanvasBrushTest, HatchesRepeatEveryEightPixelsAndLeaveTheGaps) {
    TCanvas c(34, 34);
    c.SetPenStyle(TPenStyle::Null);
    c.SetBrushColor(kRed);
    c.SetBrushStyle(TBrushStyle::FDiagonal);
    c.Rectangle(0, 0, 33, 33);
    int inked = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            const uint32_t p = c.GetPixel(x, y);
            ASSERT_TRUE(p == kRed || p == kWhite);
            inked += p == kRed;
            EXPECT_EQ(p, c.GetPixel(x + 1, y + 1)) << "falls left to right at " << x << "," << y;
            EXPECT_EQ(p, c.GetPixel(x + 8, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(inked, 24 * 24 / 8);

    TCanvas h(20, 20);
    h.SetPenStyle(TPenStyle::Null);
    h.SetBrushColor(0);
    h.SetBrushStyle(TBrushStyle::Horizontal);
    h.Rectangle(0, 0, 20, 20);
    int rows = 0;
    for (int y = 0; y < 16; ++y) {
        const bool full = h.GetPixel(0, y) == 0;
        rows += full;
        for (int x = 0; x < 19; ++x) EXPECT_EQ(h.GetPixel(x, y) == 0, full);
    }
    EXPECT_EQ(rows, 2);

    TCanvas b(20, 20);
    b.SetPenStyle(TPenStyle::Null);
    b.SetBrushColor(0);
    b.SetBrushStyle(TBrushStyle::BDiagonal);
    b.Rectangle(0, 0, 20, 20);
    for (int y = 1; y < 16; ++y)
        for (int x = 0; x < 16; ++x) EXPECT_EQ(b.GetPixel(x, y), b.GetPixel(x + 1, y - 1));

    TCanvas hollow(10, 10);
    hollow.SetPenStyle(TPenStyle::Null);
    hollow.SetBrushStyle(TBrushStyle::Hollow);
    hollow.Rectangle(0, 0, 10, 10);
    EXPECT_TRUE(Inked(hollow).empty());
}

TEST(CanvasPolygonTest, FillLeavesOutRightAndBottomAndUsesTheAlternateRule) {
    TCanvas c(14, 14);
    c.SetPenStyle(TPenStyle::Null);
    c.SetBrushColor(kRed);
    const TPixelPoint square[] = {{2, 2}, {10, 2}, {10, 10}, {2, 10}};
    c.Polygon(square, 4);
    PixelSet expected;
    for (int y = 2; y < 10; ++y)
        for (int x = 2; x < 10; ++x) expected.insert({x, y});
    EXPECT_EQ(Inked(c), expected);

    // A five-pointed star drawn in one stroke leaves its centre empty.
    TCanvas s(60, 60);
    s.SetPenStyle(TPenStyle::Null);
    const TPixelPoint star[] = {{30, 2}, {47, 55}, {2, 22}, {58, 22}, {13, 55}};
    s.Polygon(star, 5);
    EXPECT_EQ(s.GetPixel(30, 32), kWhite);
    EXPECT_EQ(s.GetPixel(30, 10), s.BrushColor());
}

TEST(CanvasPolygonTest, ThinOutlineClosesAndCoversEveryCorner) {
    TCanvas c(14, 14);
    c.SetBrushStyle(TBrushStyle::Hollow);
    const TPixelPoint square[] = {{2, 2}, {10, 2}, {10, 10}, {2, 10}};
    c.Polygon(square, 4);
    EXPECT_EQ(Inked(c).size(), 32u);
    for (auto [x, y] : {std::pair{2, 2}, {10, 2}, {10, 10}, {2, 10}})
        EXPECT_EQ(c.GetPixel(x, y), 0u);
}

TEST(CanvasPolygonTest, HugeCoordinatesStillFillTheVisiblePart) {
    TCanvas c(30, 20);
    c.SetPenWidth(3);
    c.SetBrushColor(kRed);
    const TPixelPoint big[] = {
        {-2000000000, -2000000000}, {2000000000, -2000000000}, {0, 2000000000}};
    c.Polygon(big, 3);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(c.GetPixel(x, y), kRed) << x << "," << y;
}

TEST(CanvasPictureTest, StretchDrawScalesMirrorsAndCutsToTheCanvas) {
    QImage pic(2, 2, QImage::Format_ARGB32);
    pic.setPixel(0, 0, qRgba(255, 0, 0, 0));  // alpha is ignored: pictures are opaque
    pic.setPixel(1, 0, qRgb(0, 255, 0));
    pic.setPixel(0, 1, qRgb(0, 0, 255));
    pic.setPixel(1, 1, qRgb(0, 0, 0));
    TCanvas c(30, 30);
    c.StretchDraw(0, 0, 10, 10, pic);
    EXPECT_EQ(c.GetPixel(0, 0), 0x0000FFu);
    EXPECT_EQ(c.GetPixel(4, 4), 0x0000FFu);
    EXPECT_EQ(c.GetPixel(5, 4), 0x00FF00u);
    EXPECT_EQ(c.GetPixel(4, 5), 0xFF0000u);
    EXPECT_EQ(c.GetPixel(10, 10), kWhite);
    c.StretchDraw(30, 10, 20, 20, pic);  // reversed: mirrored left to right
    EXPECT_EQ(c.GetPixel(20, 10), 0x00FF00u);
    EXPECT_EQ(c.GetPixel(29, 10), 0x0000FFu);
    // A frame far larger than the canvas shows the matching part only.
    c.StretchDraw(-1000000000, 0, 1000000010, 30, pic);
    EXPECT_EQ(c.GetPixel(0, 0), 0x0000FFu);
    EXPECT_EQ(c.GetPixel(29, 29), 0u);
    c.Draw(28, 28, pic);
    EXPECT_EQ(c.GetPixel(29, 28), 0x00FF00u);
    EXPECT_EQ(c.GetPixel(28, 29), 0xFF0000u);
}

}  // namespace
}  // namespace veldra
