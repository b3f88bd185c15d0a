#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "common/my_func.h"
#include "common/tolerances.h"
#include "display/canvas/draw_context.h"
#include "display/canvas/primitives_geometry.h"

namespace veldra {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;

// A 100 x 100 canvas showing view units 0..100 at one pixel per unit: the view
// point (x, y) lies on the pixel (x, 100 - y).
class PrimitivesTest : public ::testing::Test {
  protected:
    PrimitivesTest() : dc(view, attributes) {
        ConfigureAtStartup(attributes);
        view.viewLeft = 0;
        view.viewBottom = 0;
        view.viewRight = 100;
        view.viewTop = 100;
        view.viewScale = 1;
        view.viewWidth = 100;
        view.viewHeight = 100;
    }

    int Inked() {
        int n = 0;
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x) n += canvas.GetPixel(x, y) != kWhite;
        return n;
    }
    // Pixel of a view point.
    uint32_t At(double x, double y) {
        const TPixelPoint p = dc.ToPixel(x, y);
        return canvas.GetPixel(p.x, p.y);
    }

    TViewState view;
    TgraAttribute attributes;
    TDrawContext dc;
    TCanvas canvas{100, 100};
};

TEST_F(PrimitivesTest, ScreenRectCollapsesToALineOrToNothing) {
    dc.SetCanvasPen(canvas, 0, 0, 0);
    dc.DrawScreenRect(canvas, 10, 10, 12, 12);
    EXPECT_EQ(Inked(), 0);
    dc.DrawScreenRect(canvas, 10, 10, 12, 40);
    EXPECT_EQ(Inked(), 31);  // x = 10, y = 10..40, both end pixels
    EXPECT_EQ(canvas.GetPixel(10, 40), 0u);
    EXPECT_EQ(canvas.GetPixel(11, 20), kWhite);
    dc.DrawScreenRect(canvas, 70, 60, 50, 61);
    EXPECT_EQ(canvas.GetPixel(50, 60), 0u);
    EXPECT_EQ(canvas.GetPixel(70, 60), 0u);
    EXPECT_EQ(canvas.GetPixel(60, 61), kWhite);
    // Wider than 2 both ways: a rectangle without its right and bottom edge.
    dc.DrawScreenRect(canvas, 80, 80, 83, 84);
    EXPECT_EQ(canvas.GetPixel(82, 83), 0u);
    EXPECT_EQ(canvas.GetPixel(83, 83), kWhite);
}

TEST_F(PrimitivesTest, RubberBandDrawnTwiceRestoresThePicture) {
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) canvas.SetPixel(x, y, (x * 2654435761u + y) & 0xFFFFFF);
    const QImage before = canvas.Image().copy();
    const int bands[][4] = {
        {10, 10, 60, 70}, {20, 20, 21, 80}, {5, 90, 95, 91}, {40, 40, 40, 40}, {30, 30, 32, 33}};
    for (int width : {0, 3}) {
        for (const auto& b : bands) {
            for (int pass = 0; pass < 2; ++pass) {
                dc.SetXorMode(canvas);
                dc.SetCanvasPen(canvas, 0xFFFF00, 0, width);
                dc.SetCanvasBrush(canvas, 0, 0);
                dc.DrawScreenRect(canvas, b[0], b[1], b[2], b[3]);
            }
            ASSERT_EQ(canvas.Image(), before) << "width " << width << " band " << b[0] << ","
                                              << b[1] << " " << b[2] << "," << b[3];
        }
    }
}

TEST_F(PrimitivesTest, ScreenLineSetsBothEndsInCopyModeOnly) {
    dc.SetCanvasPen(canvas, kRed, 0, 1);
    dc.DrawScreenLine(canvas, 5, 5, 5, 5);
    EXPECT_EQ(Inked(), 1);
    dc.SetCanvasPen(canvas, kRed, 5, 1);  // null pen: nothing at all
    dc.DrawScreenLine(canvas, 10, 10, 20, 10);
    EXPECT_EQ(Inked(), 1);
}

TEST_F(PrimitivesTest, ClearCanvasCoversEverythingWhateverThePenWas) {
    dc.SetCanvasPen(canvas, kRed, 0, 9);
    dc.DrawScreenLine(canvas, 0, 99, 99, 99);
    dc.DrawScreenLine(canvas, 99, 0, 99, 99);
    dc.SetXorMode(canvas);
    dc.SetCanvasPen(canvas, kRed, 2, 0);  // dotted
    attributes.SetBackground(kBackgroundBlack);
    dc.ClearCanvas(canvas, 100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(canvas.GetPixel(x, y), 0u) << x << "," << y;
    EXPECT_EQ(canvas.MixMode(), TMixMode::CopyPen);
    EXPECT_EQ(canvas.BrushStyle(), TBrushStyle::Hollow);
}

TEST_F(PrimitivesTest, EntityPenWidthRoundsHalvesToEvenAndIsBounded) {
    view.viewScale = 4;
    const std::pair<double, int> cases[] = {{0.625, 2}, {0.875, 4},  {0.375, 2},
                                            {-1, 0},    {1000, 400}, {std::nan(""), 0}};
    for (auto [mm, px] : cases) {
        canvas.SetPenStyle(TPenStyle::Dot);
        dc.ApplyEntityPen(canvas, 0, 2, 5, mm);
        EXPECT_EQ(canvas.PenWidth(), px) << mm;
        EXPECT_EQ(canvas.PenStyle(), TPenStyle::Solid);
        EXPECT_EQ(canvas.BrushStyle(), TBrushStyle::Hollow);
    }
    dc.ApplyEntityPen(canvas, 0, 102, 0, 0.1);
    EXPECT_EQ(canvas.PenColor(), 0x0000FFu);
    dc.ApplyEntityPen(canvas, 0, 50, 0, 0.1);  // no pen: background colour
    EXPECT_EQ(canvas.PenColor(), attributes.BackgroundColor());
    dc.ApplyEntityBrush(canvas, 0, 103, 6);
    EXPECT_EQ(canvas.BrushColor(), 0x00FF00u);
    EXPECT_EQ(canvas.BrushStyle(), TBrushStyle::Cross);
}

TEST_F(PrimitivesTest, WorldLinesAreClippedToTheWindow) {
    dc.SetCanvasPen(canvas, 0, 0, 0);
    dc.DrawWorldLine(canvas, -50, 50, 150, 50);
    EXPECT_EQ(At(0, 50), 0u);
    EXPECT_EQ(At(99, 50), 0u);
    dc.DrawWorldLine(canvas, -50, 20, -10, 80);  // wholly left
    dc.DrawWorldLine(canvas, 1e300, 1, -1e300, std::nan(""));
    EXPECT_EQ(Inked(), 100);
}

TEST_F(PrimitivesTest, PolylineRejectsWhollyOutsideAndKeepsAnEnteringLastPiece) {
    dc.SetCanvasPen(canvas, 0, 0, 0);
    dc.WorldPoints = {{-30, 10}, {-20, 90}, {-1, 50}};
    dc.DrawWorldPolyline(canvas);
    EXPECT_EQ(Inked(), 0);
    dc.WorldPoints = {{-30, 10}, {-20, 90}, {-10, 50}, {40, 50}};
    dc.DrawWorldPolyline(canvas);
    EXPECT_EQ(At(0, 50), 0u);
    EXPECT_EQ(At(39, 50), 0u);
    EXPECT_EQ(At(40, 50), kWhite);  // a polyline leaves out its very last pixel
    EXPECT_EQ(Inked(), 40);
    EXPECT_TRUE(dc.ScreenPoints.empty());
    EXPECT_EQ(dc.WorldPointCount(), 4);  // the caller's points are left alone
}

TEST_F(PrimitivesTest, PolygonWithAHugeFirstEdgeIsOnlyOutlined) {
    dc.SetCanvasPen(canvas, 0, 0, 0);
    dc.SetCanvasBrush(canvas, kRed, 1);
    dc.WorldPoints = {{20, 20}, {20020, 20}, {20, 80}};
    dc.DrawWorldPolygon(canvas);
    EXPECT_EQ(At(30, 30), kWhite);
    EXPECT_EQ(At(20, 50), 0u);
    EXPECT_EQ(dc.WorldPointCount(), 3);

    // Only the first edge counts: a huge later edge is still filled.
    canvas.SetBrushStyle(TBrushStyle::Solid);
    dc.WorldPoints = {{20, 20}, {20, 80}, {20020, 20}};
    dc.DrawWorldPolygon(canvas);
    EXPECT_EQ(At(30, 30), kRed);
}

TEST_F(PrimitivesTest, FarPolygonVerticesDoNotBendTheVisibleEdges) {
    dc.SetCanvasPen(canvas, 0, 5, 0);  // fill only
    dc.SetCanvasBrush(canvas, kRed, 1);
    // A sliver along the direction (1, 2) whose far end lies at 1e12.
    dc.WorldPoints = {{50, 50}, {50, 40}, {50 + 1e12, 40 + 2e12}};
    dc.DrawWorldPolygon(canvas);
    EXPECT_EQ(At(62, 70), kRed);
    EXPECT_EQ(At(62, 78), kWhite);
    EXPECT_EQ(At(62, 58), kWhite);
    EXPECT_EQ(At(70, 85), kRed);
}

TEST_F(PrimitivesTest, SolidEllipseFillForms) {
    dc.SetCanvasPen(canvas, 0, 5, 0);
    dc.SetCanvasBrush(canvas, kRed, 1);
    const double q = kPi / 2;
    // Sector: the quarter from 0 to 90 degrees, closed at the centre.
    dc.DrawSolidEllipse(canvas, TShapeKind::ShapeFill, 50, 50, 40, 1, 0, 0, q, 0);
    EXPECT_EQ(At(52, 52), kRed);
    EXPECT_EQ(At(48, 52), kWhite);
    EXPECT_EQ(At(80, 40), kWhite);
    EXPECT_TRUE(dc.WorldPoints.empty());

    dc.ClearCanvas(canvas, 100, 100);
    dc.SetCanvasPen(canvas, 0, 5, 0);
    dc.SetCanvasBrush(canvas, kRed, 1);
    // Segment: the chord cuts the centre off.
    dc.DrawSolidEllipse(canvas, TShapeKind::ShapeFill, 50, 50, 40, 1, 0, 0, q, 5);
    EXPECT_EQ(At(55, 55), kWhite);
    EXPECT_EQ(At(75, 75), kRed);
    // Tangent region: the corner is where the tangents at (90, 50) and (50, 90) meet.
    dc.DrawSolidEllipse(canvas, TShapeKind::ShapeFill, 50, 50, 40, 1, 0, 0, q, 3);
    EXPECT_EQ(At(87, 87), kRed);
    EXPECT_EQ(At(55, 55), kWhite);

    dc.ClearCanvas(canvas, 100, 100);
    dc.SetCanvasBrush(canvas, kRed, 1);
    // A half circle's tangents are parallel: the centre closes it, as a sector.
    dc.DrawSolidEllipse(canvas, TShapeKind::ShapeFill, 50, 50, 40, 1, 0, 0, kPi, 3);
    EXPECT_EQ(At(50, 60), kRed);
    EXPECT_EQ(At(50, 40), kWhite);

    dc.ClearCanvas(canvas, 100, 100);
    dc.SetCanvasBrush(canvas, kRed, 1);
    // Whole ellipse, tilted: start and sweep do not matter.
    dc.DrawSolidEllipse(canvas, TShapeKind::ShapeFill, 50, 50, 40, 0.25, q, 1, 0.1, 100);
    EXPECT_EQ(At(50, 85), kRed);
    EXPECT_EQ(At(50, 15), kRed);
    EXPECT_EQ(At(85, 50), kWhite);
}

TEST_F(PrimitivesTest, RingAndOutline) {
    dc.SetCanvasPen(canvas, 0, 5, 0);
    dc.SetCanvasBrush(canvas, kRed, 1);
    dc.DrawSolidEllipse(canvas, TShapeKind::ShapeRing, 50, 50, 40, 1, 0, 0, kTwoPi, 20);
    EXPECT_EQ(At(50, 50), kWhite);
    EXPECT_EQ(At(80, 50), kRed);
    EXPECT_EQ(At(50, 20), kRed);

    dc.ClearCanvas(canvas, 100, 100);
    dc.SetCanvasPen(canvas, 0, 0, 0);
    dc.DrawSolidEllipse(canvas, TShapeKind::ShapeOutline, 50, 50, 40, 1, 0, 0, 0, 100);
    EXPECT_EQ(At(90, 50), 0u);
    EXPECT_EQ(At(10, 50), 0u);
    EXPECT_EQ(At(50, 50), kWhite);
    // An open arc outline: the upper half only.
    dc.ClearCanvas(canvas, 100, 100);
    dc.SetCanvasPen(canvas, 0, 0, 0);
    dc.DrawSolidEllipse(canvas, TShapeKind::ShapeOutline, 50, 50, 40, 1, 0, 0, kPi, 0);
    EXPECT_EQ(At(50, 90), 0u);
    EXPECT_EQ(At(50, 10), kWhite);
}

TEST_F(PrimitivesTest, DegenerateShapesDrawNothingWrongAndFinish) {
    dc.SetCanvasPen(canvas, 0, 0, 0);
    dc.SetCanvasBrush(canvas, kRed, 1);
    const double bad[] = {0.0, 1e8, -1e8, 1e300, std::nan(""), INFINITY};
    for (double v : bad) {
        dc.DrawSolidEllipse(canvas, TShapeKind::ShapeFill, 50, 50, v, 1, 0, 0, 1, 3);
        dc.DrawSolidEllipse(canvas, TShapeKind::ShapeRing, v, 50, 10, 1, 0, 0, kTwoPi, v);
        dc.DrawSolidEllipse(canvas, TShapeKind::ShapeOutline, 50, 50, 10, v, v, 0, v, 100);
        dc.DrawPatternArc(0, 33, canvas, 50, v, 10, 1, 0, 0, v);
        dc.DrawPatternLine(0, 33, canvas, -v, 50, v, 51);
        dc.WorldPoints = {{v, v}, {-v, v}, {0, -v}, {50, 50}};
        dc.DrawWorldPolygon(canvas);
        dc.WorldPoints.clear();
    }
    // Flatness 0: a flat ellipse fills nothing beyond its axis.
    dc.ClearCanvas(canvas, 100, 100);
    dc.DrawSolidEllipse(canvas, TShapeKind::ShapeFill, 50, 50, 30, 0, 0, 0, 0, 100);
    EXPECT_EQ(At(50, 55), kWhite);
    EXPECT_TRUE(dc.WorldPoints.empty());
    EXPECT_TRUE(dc.ScreenPoints.empty());
}

TEST(EllipseWalkerTest, GivesTheValuesOfEllipsePoint) {
    const TEllipseWalker e(3.5, -2, 7, 0.4, 0.7);
    for (double t : {0.0, 0.3, 1.9, 4.0, -2.5}) {
        double x = 0, y = 0;
        EllipsePoint(x, y, 3.5, -2, 7, 0.4, 0.7, t);
        EXPECT_DOUBLE_EQ(e.At(t).X, x);
        EXPECT_DOUBLE_EQ(e.At(t).Y, y);
    }
}

TEST(EllipseWalkerTest, InlinePixelMappingIsTheViewTransform) {
    TViewState view;
    view.viewLeft = -3.25;
    view.viewBottom = 7.5;
    view.viewScale = 2;
    view.viewHeight = 100;
    const double xs[] = {0.0, 0.25, -0.25, 10.5, -7.125, 1e9, -1e12, 1e300, std::nan("")};
    for (double x : xs) {
        for (double y : xs) {
            const TPixelPoint a = InlineViewToPixel(view, x, y);
            const TPixelPoint b = ViewToPixel(view, x, y);
            EXPECT_EQ(a.x, b.x) << x;
            EXPECT_EQ(a.y, b.y) << y;
        }
    }
}

}  // namespace
}  // namespace veldra
