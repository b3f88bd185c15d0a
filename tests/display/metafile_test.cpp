#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <random>

#include "display/pictures/metafile_emf.h"
#include "display/pictures/metafile_wmf.h"
#include "tests/display/metafile_builders.h"

namespace veldra {
namespace {

using test::EmfBuilder;
using test::WmfBuilder;

constexpr QRgb kWhite = 0xFFFFFFFF;

QImage PlayWmf(const TWmfPicture& wmf, int w = 100, int h = 100) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    wmf.Play(painter, QRectF(0, 0, w, h));
    painter.end();
    return image;
}

std::vector<int> Concat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A red brush and a 1000 x 1000 logical frame with one filled rectangle in its
// upper-left quarter.
WmfBuilder RedQuarter() {
    WmfBuilder b;
    b.Record(wmf::kSetWindowOrg, {0, 0})
        .Record(wmf::kSetWindowExt, {1000, 1000})
        .Record(wmf::kCreateBrushIndirect, Concat(Concat({0}, WmfBuilder::Color(0x0000FF)), {0}))
        .Record(wmf::kSelectObject, {0})
        .Record(wmf::kCreatePenIndirect, Concat({5, 0, 0}, WmfBuilder::Color(0)))
        .Record(wmf::kSelectObject, {1})
        .Record(wmf::kRectangle, {500, 500, 0, 0});  // bottom, right, top, left
    return b;
}

TEST(WmfPicture, PlaceableFrameGivesSizeAt96Dpi) {
    const auto wmf = TWmfPicture::Parse(RedQuarter().Build(true, 0, 0, 1440, 720, 1440));
    ASSERT_TRUE(wmf);
    EXPECT_EQ(wmf->Width(), 96);
    EXPECT_EQ(wmf->Height(), 48);
    EXPECT_EQ(wmf->RecordCount(), 7u);
}

TEST(WmfPicture, WithoutPlaceableHeaderTheWindowExtentIsTheSize) {
    const auto wmf = TWmfPicture::Parse(RedQuarter().Build(false, 0, 0, 0, 0, 0));
    ASSERT_TRUE(wmf);
    EXPECT_EQ(wmf->Width(), 1000);
    EXPECT_EQ(wmf->Height(), 1000);
}

TEST(WmfPicture, RejectsWhatIsNoMetafile) {
    EXPECT_FALSE(TWmfPicture::Parse(QByteArray()));
    EXPECT_FALSE(TWmfPicture::Parse(QByteArray("BM not a metafile at all, just text")));
    // No placeable header and no window extent: the size cannot be known.
    WmfBuilder b;
    b.Record(wmf::kMoveTo, {1, 1});
    EXPECT_FALSE(TWmfPicture::Parse(b.Build(false, 0, 0, 0, 0, 0)));
}

TEST(WmfPicture, FillsTheRectangleScaledIntoTheTarget) {
    const auto wmf = TWmfPicture::Parse(RedQuarter().Build(true, 0, 0, 1000, 1000, 1440));
    ASSERT_TRUE(wmf);
    const QImage image = PlayWmf(*wmf);
    EXPECT_EQ(image.pixel(25, 25), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(10, 40), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(75, 25), kWhite);
    EXPECT_EQ(image.pixel(25, 75), kWhite);
}

TEST(WmfPicture, CreatedObjectsTakeTheLowestFreeSlot) {
    // Brushes A (slot 0) and B (slot 1); deleting A frees slot 0, so C lands there.
    WmfBuilder b;
    const auto brush = [](uint32_t c) { return Concat(Concat({0}, WmfBuilder::Color(c)), {0}); };
    b.Record(wmf::kSetWindowExt, {100, 100})
        .Record(wmf::kCreateBrushIndirect, brush(0x0000FF))
        .Record(wmf::kCreateBrushIndirect, brush(0x00FF00))
        .Record(wmf::kDeleteObject, {0})
        .Record(wmf::kCreateBrushIndirect, brush(0xFF0000))
        .Record(wmf::kSelectObject, {0})
        .Record(wmf::kCreatePenIndirect, Concat({5, 0, 0}, WmfBuilder::Color(0)))
        .Record(wmf::kSelectObject, {2})
        .Record(wmf::kRectangle, {100, 100, 0, 0});
    const auto wmf = TWmfPicture::Parse(b.Build(false, 0, 0, 0, 0, 0, 3));
    ASSERT_TRUE(wmf);
    EXPECT_EQ(PlayWmf(*wmf).pixel(50, 50), qRgb(0, 0, 255));
}

TEST(WmfPicture, DrawsAnEmbeddedBitmap) {
    // A 2 x 1 24-bit DIB (blue, green pixels; rows padded to 4 bytes).
    std::vector<int> dib = {40, 0, 2, 0, 1, 0, 1, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<int> pixels = {0x00FF, 0x0000, 0x00FF, 0x0000};  // BGR BGR pad pad
    dib.insert(dib.end(), pixels.begin(), pixels.end());
    // StretchDIB: raster op, usage, source h, w, y, x, dest h, w, y, x, DIB.
    std::vector<int> words = {0x0020, 0x00CC, 0, 1, 2, 0, 0, 100, 100, 0, 0};
    words.insert(words.end(), dib.begin(), dib.end());
    WmfBuilder b;
    b.Record(wmf::kSetWindowExt, {100, 100}).Record(wmf::kStretchDib, words);
    const auto wmf = TWmfPicture::Parse(b.Build(false, 0, 0, 0, 0, 0));
    ASSERT_TRUE(wmf);
    const QImage image = PlayWmf(*wmf);
    EXPECT_EQ(image.pixel(25, 50), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(75, 50), qRgb(0, 255, 0));
}

TEST(WmfPicture, DamagedFilesNeverReadOutsideTheirData) {
    WmfBuilder b = RedQuarter();
    b.Record(wmf::kPolygon, {3, 0, 0, 900, 0, 900, 900})
        .Record(wmf::kPolyPolygon, {2, 3, 3, 0, 0, 10, 0, 10, 10, 20, 20, 30, 20, 30, 30})
        .Record(wmf::kTextOut, {3, 0x4241, 0x0043, 10, 10})
        .Record(wmf::kArc, {0, 0, 0, 100, 500, 500, 0, 0})
        .Record(wmf::kRestoreDc, {-5});
    const QByteArray good = b.Build(true, 0, 0, 1000, 1000, 1440);
    // Every truncation, then seeded random damage: parse and play must survive.
    for (qsizetype n = 0; n < good.size(); ++n) {
        const auto wmf = TWmfPicture::Parse(good.left(n));
        if (wmf) PlayWmf(*wmf, 20, 20);
    }
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        QByteArray bad = good;
        for (int k = 0; k < 6; ++k)
            bad[static_cast<qsizetype>(random() % bad.size())] = static_cast<char>(random());
        const auto wmf = TWmfPicture::Parse(bad);
        if (wmf) PlayWmf(*wmf, 20, 20);
    }
    SUCCEED();
}

QByteArray BlueRectangleEmf() {
    EmfBuilder b;
    b.Record(39, {1, 0, 0x00FF0000, 0})  // brush: solid blue
        .Record(37, {1})
        .Record(43, {0, 0, 50, 50});  // rectangle over the left half of 100 x 50
    return b.Build(99, 49, 2645, 1322);
}

TEST(EmfPicture, SizeComesFromTheFrame) {
    const auto emf = TEmfPicture::Parse(BlueRectangleEmf());
    ASSERT_TRUE(emf);
    EXPECT_EQ(emf->Width(), 100);  // 26.45 mm at 96 dpi
    EXPECT_EQ(emf->Height(), 50);
}

TEST(EmfPicture, FillsTheRectangleScaledIntoTheTarget) {
    const auto emf = TEmfPicture::Parse(BlueRectangleEmf());
    ASSERT_TRUE(emf);
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    emf->Play(painter, QRectF(0, 0, 200, 100));
    painter.end();
    EXPECT_EQ(image.pixel(40, 50), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(160, 50), kWhite);
}

TEST(EmfPicture, RefusesBrokenRecordChains) {
    const QByteArray good = BlueRectangleEmf();
    EXPECT_TRUE(EmfRecordChainIsSound(good));
    for (qsizetype n = 0; n < good.size(); n += 4) EXPECT_FALSE(TEmfPicture::Parse(good.left(n)));
    QByteArray zeroSize = good;
    zeroSize[92] = zeroSize[93] = zeroSize[94] = zeroSize[95] = 0;  // first record after header
    EXPECT_FALSE(EmfRecordChainIsSound(zeroSize));
    QByteArray huge = good;
    huge[95] = static_cast<char>(0x7F);
    EXPECT_FALSE(EmfRecordChainIsSound(huge));
}

}  // namespace
}  // namespace veldra
