// The batched and shortcut line paths against the general ones they stand in
// for: same pixels on many random cases.

#include <gtest/gtest.h>

#include <QImage>
#include <random>
#include <vector>

#include "common/tolerances.h"
#include "display/canvas/canvas.h"
#include "display/canvas/canvas_raster.h"
#include "display/canvas/draw_context.h"

namespace veldra {
namespace {

bool SamePixels(TCanvas& a, TCanvas& b) {
    return a.Image() == b.Image();
}

TEST(LineBatchTest, SolidLinesBetweenPointsOnTheTargetMatchTheGeneralWalk) {
    // A one-run pattern is always "on" but takes the general, cutting walk.
    constexpr int kW = 61, kH = 47;
    const uint8_t allOn[] = {200};
    std::mt19937 r(5);
    for (bool xorMode : {false, true}) {
        std::vector<uint32_t> fast(size_t{kW} * kH, 0x00123456u), general(fast);
        for (int i = 0; i < 3000; ++i) {
            const auto x0 = static_cast<int32_t>(r() % kW), y0 = static_cast<int32_t>(r() % kH),
                       x1 = static_cast<int32_t>(r() % kW), y1 = static_cast<int32_t>(r() % kH);
            const uint32_t rgb = r() & 0xFFFFFFu;
            TDashCursor solid;
            RasterThinLine({fast.data(), kW, kW, kH}, x0, y0, x1, y1, rgb, xorMode, &solid);
            TDashCursor on{allOn, 1, 0};
            RasterThinLine({general.data(), kW, kW, kH}, x0, y0, x1, y1, rgb, xorMode, &on);
            ASSERT_EQ(fast, general) << x0 << "," << y0 << " " << x1 << "," << y1;
            ASSERT_EQ(solid.position, on.position);
        }
    }
}

TEST(LineBatchTest, LinesWithEndsMatchOneLineAndEndPixelAtATime) {
    std::mt19937 r(11);
    for (int round = 0; round < 300; ++round) {
        TCanvas batched(50, 40), single(50, 40);
        const int setup = round % 6;  // copy, XOR, wide, dashed, null, wide XOR
        for (TCanvas* c : {&batched, &single}) {
            c->SetPenColor(0x0000FF + round);
            c->SetPenWidth(setup == 2 || setup == 5 ? 3 : 1);
            c->SetPenStyle(setup == 3   ? TPenStyle::DashDot
                           : setup == 4 ? TPenStyle::Null
                                        : TPenStyle::Solid);
            if (setup == 1 || setup == 5) c->SetROP2(TMixMode::XorPen);
        }
        // A chain that mostly joins, with jumps, pieces of no length and ends off
        // the canvas.
        std::vector<TPixelPoint> ends;
        TPixelPoint at{static_cast<int32_t>(r() % 50), static_cast<int32_t>(r() % 40)};
        for (int i = 0; i < 40; ++i) {
            TPixelPoint from =
                r() % 5 == 0 ? TPixelPoint{int32_t(r() % 70) - 10, int32_t(r() % 60) - 10} : at;
            const int32_t step = r() % 4 == 0 ? 0 : 6;
            at = {from.x + int32_t(r() % (2 * step + 1)) - step,
                  from.y + int32_t(r() % (2 * step + 1)) - step};
            ends.push_back(from);
            ends.push_back(at);
        }
        batched.DrawLinesWithEnds(ends.data(), static_cast<int32_t>(ends.size() / 2));
        const bool endPixel = setup != 2 && setup != 4 && setup != 5;
        for (size_t i = 0; i < ends.size(); i += 2) {
            single.DrawLine(ends[i].x, ends[i].y, ends[i + 1].x, ends[i + 1].y);
            if (endPixel) single.PlotPenPixel(ends[i + 1].x, ends[i + 1].y);
        }
        ASSERT_TRUE(SamePixels(batched, single)) << "round " << round;
        EXPECT_EQ(batched.PenPosition().x, single.PenPosition().x);
        EXPECT_EQ(batched.PenPosition().y, single.PenPosition().y);
    }
}

// Arcs drawn whole against their pieces drawn one by one from the ellipse's own
// points, for plain, dashed and zigzag line types, partly beyond the window.
TEST(LineBatchTest, ArcsMatchTheirPiecesDrawnOneByOne) {
    TViewState view;
    view.viewLeft = 10;
    view.viewBottom = 5;
    view.viewScale = 2;
    view.viewWidth = 160;
    view.viewHeight = 120;
    view.viewRight = view.viewLeft + view.viewWidth / view.viewScale;
    view.viewTop = view.viewBottom + view.viewHeight / view.viewScale;
    TgraAttribute attributes;
    ConfigureAtStartup(attributes);
    const int32_t lineTypes[] = {1, 2, 5, 9, 11, 13, 33, 37};
    std::mt19937 r(23);
    std::uniform_real_distribution<double> at(0.0, 100.0), radius(0.2, 40.0), angle(-7.0, 7.0);
    for (int round = 0; round < 60; ++round) {
        TDrawContext whole(view, attributes), pieces(view, attributes);
        TCanvas a(160, 120), b(160, 120);
        if (round % 10 == 9) {
            whole.SetXorMode(a);
            pieces.SetXorMode(b);
        }
        for (int i = 0; i < 30; ++i) {
            const int32_t lineType = lineTypes[r() % std::size(lineTypes)];
            const uint32_t color = r() & 0xFFFFFF;
            const double cx = at(r), cy = at(r), rad = radius(r);
            const double flatness = r() % 2 ? 1.0 : 0.45, tilt = r() % 2 ? 0.0 : angle(r);
            const bool circle = r() % 2 == 0;
            const double start = circle ? 0.0 : angle(r), sweep = circle ? kTwoPi : angle(r);
            whole.SetCanvasPen(a, color, 0, 1);
            pieces.SetCanvasPen(b, color, 0, 1);
            whole.DrawPatternArc(1, lineType, a, cx, cy, rad, flatness, tilt, start, sweep);
            const TEllipseWalker ellipse(cx, cy, rad, flatness, tilt);
            const double step = sweep / kArcPieces;
            TRealPoint p = ellipse.At(start);
            for (int32_t k = 1; k <= kArcPieces; ++k) {
                const TRealPoint q = ellipse.At(start + k * step);
                pieces.DrawPatternLine(1, lineType, b, p.X, p.Y, q.X, q.Y);
                p = q;
            }
        }
        ASSERT_TRUE(SamePixels(a, b)) << "round " << round;
    }
}

}  // namespace
}  // namespace veldra
