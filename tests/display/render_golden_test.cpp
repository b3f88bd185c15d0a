// Small scenes drawn and compared pixel for pixel with the PNGs in golden/.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/tolerances.h"
#include "display/pictures/metafile_wmf.h"
#include "tests/display/golden_image.h"
#include "tests/display/metafile_builders.h"
#include "tests/display/render_scene.h"

namespace veldra {
namespace {

using test::MatchesGolden;
using test::RenderScene;

// Line type 33: 6 mm dash, 6 mm gap.
constexpr int kLongDash = 33;

TJwwEntSolidSc& ArcSolid(RenderScene& s, std::vector<TJwwEntSolidSc>& list, EntityKind kind,
                         double cx, double cy, double r, double start, double sweep, int code,
                         int color = 6) {
    TJwwEntSolidSc& e = AppendEntity(s.store, list, kind);
    e.head.color = color;
    e.cx = cx, e.cy = cy, e.radius = r, e.flatness = 1.0;
    e.startRad = start, e.sweepRad = sweep, e.solidCode = code;
    return e;
}

TJwwEntSolidSo& Ring(RenderScene& s, std::vector<TJwwEntSolidSo>& list, EntityKind kind, double cx,
                     double cy, double r, double inner, double start, double sweep) {
    TJwwEntSolidSo& e = AppendEntity(s.store, list, kind);
    e.head.color = 8;
    e.cx = cx, e.cy = cy, e.radius = r, e.flatness = 1.0;
    e.startRad = start, e.sweepRad = sweep, e.innerRadius = inner;
    return e;
}

TEST(RenderGolden, DashPhaseRunsOnAcrossJoinedLinesOnly) {
    RenderScene s(200, 150, 2.0);
    // Joined: the second piece goes on with the gap the first one ended in.
    s.Line(5, 65, 12, 65, kLongDash);
    s.Line(12, 65, 60, 65, kLongDash);
    // Not joined (a gap of 0.5): the second piece starts with a dash.
    s.Line(5, 55, 12, 55, kLongDash);
    s.Line(12.5, 55, 60, 55, kLongDash);
    // Joined, but another line type, or another layer: restart.
    s.Line(5, 45, 12, 45, kLongDash);
    s.Line(12, 45, 60, 45, 34);
    s.Line(5, 35, 12, 35, kLongDash);
    s.Line(12, 35, 60, 35, kLongDash).head.layer = 1;
    // A corner: the pattern runs round it; and along the pieces of a circle.
    s.Line(70, 40, 70, 70, kLongDash);
    s.Line(70, 70, 95, 70, kLongDash);
    s.Circle(82, 18, 12).head.lineType = kLongDash;
    EXPECT_TRUE(MatchesGolden(s.DrawEntities(), "dash_phase"));
}

TEST(RenderGolden, ZigzagLineTypes) {
    RenderScene s(200, 150, 10.0);
    s.Line(1, 12, 19, 12, 11);
    s.Line(1, 7.5, 19, 7.5, 13);
    s.Line(1, 3, 10, 3, 15);
    s.Line(10, 3, 19, 4.5, 15);  // joined: the zigzag carries on
    EXPECT_TRUE(MatchesGolden(s.DrawEntities(), "zigzag"));
}

TEST(RenderGolden, HatchBrushes) {
    RenderScene s;
    TDrawContext context(s.view, s.attributes);
    TCanvas canvas(200, 150);
    context.ClearCanvas(canvas, 200, 150);
    for (int code = 1; code <= 8; ++code) {
        const int col = (code - 1) % 4, row = (code - 1) / 4;
        context.SetCanvasPen(canvas, 0x000000, 0, 0);
        context.SetCanvasBrush(canvas, 0xC00000, code);  // COLORREF: dark blue
        context.DrawScreenRect(canvas, 8 + 48 * col, 10 + 70 * row, 48 + 48 * col, 70 + 70 * row);
    }
    EXPECT_TRUE(MatchesGolden(canvas.Image(), "hatch_brushes"));
}

TEST(RenderGolden, EverySolidKindAndFillForm) {
    RenderScene s;
    TJwwEntSolid2& two = AppendEntity(s.store, s.store.solid2s, EntityKind::Solid2);
    two.head.color = 2;
    two.x1 = 10, two.y1 = 10, two.x2 = 40, two.y2 = 30;
    s.Triangle(50, 10, 80, 10, 65, 35);
    TJwwEntSolid4& four = AppendEntity(s.store, s.store.solid4s, EntityKind::Solid4);
    four.head.color = 10;
    four.extColor = 0xFF8000;
    four.x1 = 90, four.y1 = 10, four.x2 = 120, four.y2 = 10, four.x3 = 125, four.y3 = 35;
    four.x4 = 95, four.y4 = 35;
    TJwwEntSolidSc& whole =
        ArcSolid(s, s.store.solidScs, EntityKind::SolidSc, 160, 25, 18, 0, 0, 100);
    whole.flatness = 0.6;
    whole.tiltRad = kPi / 6;
    ArcSolid(s, s.store.solidScs, EntityKind::SolidSc, 25, 70, 20, 0.3, 2.0, 0);   // sector
    ArcSolid(s, s.store.solidScs, EntityKind::SolidSc, 75, 70, 20, 0.3, 2.5, 5);   // segment
    ArcSolid(s, s.store.solidScs, EntityKind::SolidSc, 125, 65, 20, 0.5, 1.2, 1);  // tangents
    ArcSolid(s, s.store.solidScs, EntityKind::SolidSc, 175, 65, 15, 0, kPi, 1);    // parallel
    ArcSolid(s, s.store.solidSes, EntityKind::SolidSe, 25, 120, 18, 0, 0, 100, 4).flatness = 0.5;
    ArcSolid(s, s.store.solidSes, EntityKind::SolidSe, 70, 115, 18, 0, 4, 0, 4);
    Ring(s, s.store.solidSos, EntityKind::SolidSo, 120, 120, 18, 9, 0, kTwoPi);
    Ring(s, s.store.solidSgs, EntityKind::SolidSg, 170, 115, 18, 10, 0.2, 3.5);
    EXPECT_TRUE(MatchesGolden(s.DrawEntities(), "solids"));
}

class RenderPictureGolden : public ::testing::Test {
  protected:
    std::string Write(const char* name, const QByteArray& bytes) {
        QFile f(dir_.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName().toStdString();
    }
    // 8 x 4: red, green over blue, yellow (left to right, top to bottom).
    std::string Quadrants(const char* name) {
        QImage image(8, 4, QImage::Format_RGB32);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                image.setPixel(x, y,
                               y < 2 ? (x < 4 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                     : (x < 4 ? qRgb(0, 0, 255) : qRgb(255, 255, 0)));
        EXPECT_TRUE(image.save(dir_.filePath(name), "BMP"));
        return dir_.filePath(name).toStdString();
    }
    QTemporaryDir dir_;
};

TEST_F(RenderPictureGolden, StretchedTrimmedAndPlaceholders) {
    RenderScene s;
    s.SetBlackBackground();
    const std::string bmp = Quadrants("q.bmp");
    s.Text(10, 90, "^@BM" + bmp + ",80");              // above the point, 80 x 40
    s.Text(110, 130, "^@BM" + bmp + ",60,-5");         // below the point, 60 x 30
    s.Text(10, 10, "^@BM" + bmp + ",60,5,0.5,0,0.5");  // bottom-right quarter, 60 x 30
    s.Text(80, 10, "^@BM" + bmp + ",40,5,0,0.5,0.5");  // top-left quarter, 40 x 20
    s.Text(150, 20, "^@BM" + bmp + ",6");              // placeholder: 6 x 3 pixels
    QImage png(4, 4, QImage::Format_RGB32);
    png.fill(Qt::white);
    ASSERT_TRUE(png.save(dir_.filePath("p.png"), "PNG"));
    s.Text(130, 40, "^@BM" + dir_.filePath("p.png").toStdString() + ",40");  // not drawn
    test::WmfBuilder wmf;
    wmf.Record(wmf::kSetWindowExt, {1000, 1000})
        .Record(wmf::kCreateBrushIndirect, {2, 0x00FF, 0x0000, 4})  // red cross hatch
        .Record(wmf::kSelectObject, {0})
        .Record(wmf::kCreatePenIndirect, {0, 0, 0, 0xFFFF, 0x0000})  // yellow
        .Record(wmf::kSelectObject, {1})
        .Record(wmf::kSetBkMode, {1})
        .Record(wmf::kEllipse, {900, 900, 100, 100});
    s.Text(150, 40, "^@BM" + Write("w.WMF", wmf.Build(true, 0, 0, 1000, 1000, 1000)) + ",40");
    EXPECT_TRUE(MatchesGolden(s.DrawEntities(), "pictures"));
}

TEST(RenderGolden, ClippingAtTheWindowBorder) {
    RenderScene s;
    s.SetWindow(50, 50, 1.0);  // window 50..250 x 50..200
    s.Line(20, 100, 120, 140);
    s.Line(150, 180, 180, 260);
    s.Line(100, 60, 300, 90, kLongDash);
    s.Circle(60, 60, 40);
    s.Triangle(200, 150, 300, 170, 220, 230, 5);
    s.Arc(150, 120, 200, 200, 250);
    EXPECT_TRUE(MatchesGolden(s.DrawEntities(), "clipping"));
}

TEST(RenderGolden, PolygonsWithAFirstEdgeBeyond10000PixelsAreOutlined) {
    RenderScene s;
    s.Triangle(10, 10, 20000, 10, 10, 60);  // first edge too long: outline only
    // A later edge too long: still filled (a band 20 wide, cut by the canvas).
    TJwwEntSolid4& band = AppendEntity(s.store, s.store.solid4s, EntityKind::Solid4);
    band.head.color = 3;
    band.x1 = 100, band.y1 = 80, band.x2 = 120, band.y2 = 80;
    band.x3 = 120, band.y3 = 20000, band.x4 = 100, band.y4 = 20000;
    EXPECT_TRUE(MatchesGolden(s.DrawEntities(), "polygon_10000"));
}

TEST(RenderGolden, XorBandDrawnTwiceRestoresTheView) {
    RenderScene s;
    s.Triangle(20, 20, 180, 30, 90, 130);
    s.Circle(100, 75, 50).head.color = 6;
    const QImage before = s.Redraw();
    TDrawContext context(s.view, s.attributes);
    TCanvas canvas(before);
    context.SetXorMode(canvas);
    context.SetCanvasPen(canvas, 0xFFFF00, 0, 3);
    context.SetCanvasBrush(canvas, 0, 0);
    context.DrawScreenRect(canvas, 30, 40, 160, 120);
    EXPECT_TRUE(MatchesGolden(canvas.Image(), "xor_band"));
    context.DrawScreenRect(canvas, 30, 40, 160, 120);
    EXPECT_EQ(canvas.Image().convertToFormat(QImage::Format_RGB32),
              before.convertToFormat(QImage::Format_RGB32));
}

TEST(RenderGolden, RedrawOnBlackWithFrameAndOriginMark) {
    RenderScene s;
    s.SetBlackBackground();
    s.SetWindow(-50, -40, 1.0);
    for (int c = 1; c <= 8; ++c)
        s.Line(-40 + 10 * c, -30, -40 + 10 * c, 40, 1, c).head.lineWidth = 0;
    s.Line(-45, 60, 140, 60, 2, 102).head.lineWidth = 100;  // 1 mm wide: 1 pixel here
    s.Circle(100, 20, 25).head.color = 105;
    EXPECT_TRUE(MatchesGolden(s.Redraw(), "redraw_black"));
}

}  // namespace
}  // namespace veldra
