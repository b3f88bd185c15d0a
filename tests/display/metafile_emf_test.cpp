#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstring>
#include <random>

#include "display/pictures/metafile_emf.h"
#include "tests/display/metafile_builders.h"

namespace veldra {
namespace {

using test::EmfBuilder;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr uint32_t kStock = 0x80000000u;

int32_t Bits(float f) {
    int32_t v = 0;
    std::memcpy(&v, &f, sizeof v);
    return v;
}
// Two 16-bit coordinates in one 32-bit value, as the 16-bit point records hold them.
int32_t Pair(int x, int y) {
    return static_cast<int32_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | (x & 0xFFFF));
}

// A picture of about 100 x 100 reference pixels played into a 100 x 100 image.
QImage Play(const EmfBuilder& b) {
    const auto emf = TEmfPicture::Parse(b.Build(99, 99, 2645, 2645));
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!emf) return image;
    QPainter painter(&image);
    emf->Play(painter, QRectF(0, 0, 100, 100));
    return image;
}

// Solid brushes: red in slot 1, blue in slot 2, and no outline.
EmfBuilder WithBrushes() {
    EmfBuilder b;
    b.Record(emf::kCreateBrushIndirect, {1, 0, 0x0000FF, 0})
        .Record(emf::kCreateBrushIndirect, {2, 0, 0xFF0000, 0})
        .Record(emf::kSelectObject, {static_cast<int32_t>(kStock | 8)});  // NULL_PEN
    return b;
}

TEST(EmfPlayer, MapsLogicalUnitsByMappingMode) {
    // Anisotropic: a window of 1000 x 1000 onto a viewport of 100 x 100 pixels.
    EmfBuilder a = WithBrushes();
    a.Record(emf::kSelectObject, {1})
        .Record(emf::kSetMapMode, {8})
        .Record(emf::kSetWindowExtEx, {1000, 1000})
        .Record(emf::kSetViewportExtEx, {100, 100})
        .Record(emf::kRectangle, {0, 0, 500, 500});
    QImage image = Play(a);
    EXPECT_EQ(image.pixel(25, 25), kRed);
    EXPECT_EQ(image.pixel(75, 25), kWhite);
    EXPECT_EQ(image.pixel(25, 75), kWhite);

    // Tenths of a millimetre with y growing upwards: 132 units are half the frame,
    // and negative y lies below the top edge.
    EmfBuilder m = WithBrushes();
    m.Record(emf::kSelectObject, {1})
        .Record(emf::kSetMapMode, {2})
        .Record(emf::kRectangle, {0, 0, 132, -132});
    image = Play(m);
    EXPECT_EQ(image.pixel(25, 25), kRed);
    EXPECT_EQ(image.pixel(75, 75), kWhite);
    EXPECT_EQ(image.pixel(25, 75), kWhite);
}

TEST(EmfPlayer, WorldTransformAndSavedStates) {
    EmfBuilder b = WithBrushes();
    b.Record(emf::kSelectObject, {1})
        .Record(emf::kSaveDc, {})
        .Record(emf::kSelectObject, {2})
        .Record(emf::kSetWorldTransform, {Bits(2), 0, 0, Bits(2), Bits(50), 0})
        .Record(emf::kRectangle, {0, 0, 25, 25})  // x 50..100, y 0..50, blue
        .Record(emf::kRestoreDc, {-1})            // red brush and no transform again
        .Record(emf::kRectangle, {0, 50, 50, 100});
    const QImage image = Play(b);
    EXPECT_EQ(image.pixel(75, 25), kBlue);
    EXPECT_EQ(image.pixel(25, 75), kRed);
    EXPECT_EQ(image.pixel(25, 25), kWhite);
    EXPECT_EQ(image.pixel(75, 75), kWhite);
}

TEST(EmfPlayer, PolygonsOfBothPointSizesAndTheFillRule) {
    EmfBuilder b = WithBrushes();
    // A 16-bit polypolygon: a square with a square hole (alternate fill).
    b.Record(emf::kSelectObject, {1})
        .Record(emf::kPolyPolygon16,
                {0, 0, 0, 0, 2, 8, 4, 4, Pair(10, 10), Pair(90, 10), Pair(90, 90), Pair(10, 90),
                 Pair(30, 30), Pair(70, 30), Pair(70, 70), Pair(30, 70)})
        // A 32-bit triangle in the hole.
        .Record(emf::kSelectObject, {2})
        .Record(emf::kPolygon, {0, 0, 0, 0, 3, 40, 40, 60, 40, 50, 60});
    const QImage image = Play(b);
    EXPECT_EQ(image.pixel(20, 20), kRed);
    EXPECT_EQ(image.pixel(35, 60), kWhite);  // in the hole, beside the triangle
    EXPECT_EQ(image.pixel(50, 45), kBlue);
    EXPECT_EQ(image.pixel(95, 95), kWhite);
}

TEST(EmfPlayer, PathsEllipsesAndStockObjects) {
    EmfBuilder b = WithBrushes();
    b.Record(emf::kSelectObject, {2})
        .Record(emf::kBeginPath, {})
        .Record(emf::kMoveToEx, {0, 0})
        .Record(emf::kLineTo, {50, 0})
        .Record(emf::kLineTo, {0, 50})
        .Record(emf::kCloseFigure, {})
        .Record(emf::kEndPath, {})
        .Record(emf::kFillPath, {0, 0, 0, 0})  // blue triangle in the upper-left corner
        .Record(emf::kSelectObject, {1})
        .Record(emf::kEllipse, {50, 50, 100, 100})
        .Record(emf::kSelectObject, {static_cast<int32_t>(kStock | 5)})  // NULL_BRUSH
        .Record(emf::kSelectObject, {static_cast<int32_t>(kStock | 7)})  // BLACK_PEN
        .Record(emf::kRectangle, {55, 5, 95, 45});
    const QImage image = Play(b);
    EXPECT_EQ(image.pixel(10, 10), kBlue);
    EXPECT_EQ(image.pixel(40, 40), kWhite);   // beyond the triangle's long edge
    EXPECT_EQ(image.pixel(75, 75), kRed);     // ellipse centre
    EXPECT_EQ(image.pixel(52, 52), kWhite);   // outside the ellipse, in its box's corner
    EXPECT_EQ(image.pixel(75, 25), kWhite);   // hollow rectangle: the inside stays
    EXPECT_EQ(qGray(image.pixel(75, 5)), 0);  // its outline is black
}

TEST(EmfPlayer, DrawsBitmapsOfStretchDibits) {
    // A 2 x 1 24-bit DIB: blue, green (rows padded to 4 bytes).
    const std::vector<int32_t> header = {40, 2, 1, 1 | (24 << 16), 0, 8, 0, 0, 0, 0};
    const std::vector<int32_t> pixels = {0x000000FF, 0x000000FF};  // B G R B | G R pad pad
    // bounds, dest x y, source x y w h, bmi offset/size, bits offset/size, usage,
    // raster op, dest w h; the bitmap follows the 80-byte record head.
    std::vector<int32_t> words = {0, 0,  0,  0,   0, 0, 0,          0,   2,
                                  1, 80, 40, 120, 8, 0, 0x00CC0020, 100, 100};
    words.insert(words.end(), header.begin(), header.end());
    words.insert(words.end(), pixels.begin(), pixels.end());
    EmfBuilder b;
    b.Record(emf::kStretchDiBits, words);
    const QImage image = Play(b);
    EXPECT_EQ(image.pixel(25, 50), kBlue);
    EXPECT_EQ(image.pixel(75, 50), 0xFF00FF00u);
}

TEST(EmfPlayer, ObjectsOutsideTheTableAreIgnored) {
    EmfBuilder b = WithBrushes();
    b.Record(emf::kSelectObject, {1})
        .Record(emf::kCreateBrushIndirect, {7, 0, 0xFF0000, 0})  // the header gives 4 handles
        .Record(emf::kSelectObject, {7})
        .Record(emf::kSelectObject, {0x7FFFFFFF})
        .Record(emf::kDeleteObject, {-1})
        .Record(emf::kRestoreDc, {5})  // nothing saved
        .Record(emf::kRectangle, {0, 0, 100, 100});
    EXPECT_EQ(Play(b).pixel(50, 50), kRed);
}

TEST(EmfPlayer, DamagedFilesNeverReadOutsideTheirData) {
    EmfBuilder b = WithBrushes();
    b.Record(emf::kSelectObject, {1})
        .Record(emf::kPolyPolygon,
                {0, 0, 0, 0, 2, 6, 3, 3, 0, 0, 10, 0, 10, 10, 20, 20, 30, 20, 30, 30})
        .Record(emf::kPolyBezier16,
                {0, 0, 0, 0, 4, Pair(0, 0), Pair(10, 40), Pair(60, 40), Pair(90, 0)})
        .Record(emf::kExtTextOutW, {0, 0, 0, 0, 1, 0, 0, 5, 5, 2, 76, 0, 0, 0, 0, 0, 0, 0x00420041})
        .Record(emf::kStretchDiBits, {0,  0,   0, 0, 0,          0,   0,   0,  2, 1, 80,
                                      40, 120, 8, 0, 0x00CC0020, 100, 100, 40, 2, 1, 1 | (24 << 16),
                                      0,  8,   0, 0, 0,          0,   -1,  0})
        // A source whose right edge overflows 32 bits (found by fuzzing).
        .Record(emf::kStretchDiBits,
                {0,  0,   0, 0, 0,          0,   2037539186, 0,   779383060, 1, 80,
                 40, 120, 8, 0, 0x00CC0020, 100, 100,        40,  2,         1, 1 | (24 << 16),
                 0,  8,   0, 0, 0,          0,   0xFF,       0xFF})
        .Record(emf::kArc, {0, 0, 80, 40, 80, 20, 0, 20})
        .Record(emf::kSetWorldTransform, {Bits(1e30f), 0, 0, Bits(-1e30f), 0, 0})
        .Record(emf::kRectangle, {0, 0, 100, 100});
    const QByteArray good = b.Build(99, 99, 2645, 2645);
    std::mt19937 random(11);
    for (int round = 0; round < 400; ++round) {
        QByteArray bad = good;
        for (int k = 0; k < 4; ++k)
            bad[static_cast<qsizetype>(88 + random() % (bad.size() - 88))] =
                static_cast<char>(random());
        const auto emf = TEmfPicture::Parse(bad);
        if (!emf) continue;
        QImage image(20, 20, QImage::Format_RGB32);
        QPainter painter(&image);
        emf->Play(painter, QRectF(0, 0, 20, 20));
    }
    SUCCEED();
}

}  // namespace
}  // namespace veldra
