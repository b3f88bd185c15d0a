#include "fill/color_reduction.h"

#include <gtest/gtest.h>

#include <QSet>

namespace veldra {
namespace {

int CountPixels(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
    }
    return n;
}

TEST(ColorReductionTest, TheFixed256PaletteWastesNoEntry) {
    QList<QRgb> p8 = StandardPalette(8);
    ASSERT_EQ(p8.size(), 256);
    EXPECT_EQ(QSet<QRgb>(p8.begin(), p8.end()).size(), 256);
    EXPECT_EQ(p8.mid(0, 16), StandardPalette(4));
}

TEST(ColorReductionTest, FewColoursAreKeptExactlyAtEveryDepth) {
    QImage canvas(40, 10, QImage::Format_RGB32);
    canvas.fill(qRgb(250, 240, 230));
    for (int x = 0; x < 40; x += 3) canvas.setPixel(x, 4, qRgb(12, 34, 56));
    for (int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        QImage reduced = ReduceColors(canvas, bits);
        ASSERT_EQ(reduced.format(), QImage::Format_Indexed8);
        // Palette in order of first appearance: the background comes first.
        EXPECT_EQ(reduced.colorTable(), (QList<QRgb>{qRgb(250, 240, 230), qRgb(12, 34, 56)}));
        EXPECT_EQ(reduced.convertToFormat(QImage::Format_RGB32), canvas);
    }
    // 16 distinct colours still fit 4 bits exactly, 17 no longer do.
    QImage many(17, 1, QImage::Format_RGB32);
    for (int x = 0; x < 17; ++x) many.setPixel(x, 0, qRgb(x * 7 + 1, 100, 50));
    EXPECT_EQ(ReduceColors(many.copy(0, 0, 16, 1), 4).colorCount(), 16);
    EXPECT_EQ(ReduceColors(many, 4).colorTable(), StandardPalette(4));
}

TEST(ColorReductionTest, DitheringKeepsTheToneAndPaletteColoursStayFlat) {
    // Left half mid grey, right half a colour of the 16, and a ramp in the bottom row
    // (error diffuses right and down only, so the ramp disturbs nothing above it).
    QImage canvas(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            canvas.setPixel(x, y, x < 32 ? qRgb(128, 128, 128) : qRgb(0, 128, 128));
        }
    }
    for (int x = 0; x < 64; ++x) canvas.setPixel(x, 63, qRgb(x * 4, 255 - x * 4, x));
    const QImage top = canvas.copy(0, 0, 64, 63);

    QImage mono = ReduceColors(canvas, 1).convertToFormat(QImage::Format_RGB32);
    const int whites = CountPixels(mono.copy(0, 0, 32, 63), qRgb(255, 255, 255));
    EXPECT_NEAR(whites, 32 * 63 / 2.0, 32 * 63 / 20.0);  // half the grey pixels within 10 %

    // Grey 128 and teal are palette colours: no dots at all.
    QImage sixteen = ReduceColors(canvas, 4).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(sixteen.copy(0, 0, 64, 63), top);

    // A smooth ramp in 256 colours: the average of each row stays within 2 levels.
    QImage ramp(256, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 256; ++x) ramp.setPixel(x, y, qRgb(x, 255 - x, (x * 3 + y) % 256));
    }
    QImage reduced = ReduceColors(ramp, 8);
    ASSERT_EQ(reduced.colorTable(), StandardPalette(8));
    QImage back = reduced.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        double sumIn = 0, sumOut = 0;
        for (int x = 0; x < 256; ++x) {
            sumIn += qRed(ramp.pixel(x, y));
            sumOut += qRed(back.pixel(x, y));
        }
        EXPECT_NEAR(sumOut / 256, sumIn / 256, 2.0);
    }
}

TEST(ColorReductionTest, TrueColourIsAnOpaqueCopyAndOddInputIsRefused) {
    QImage canvas(3, 2, QImage::Format_ARGB32);
    canvas.fill(qRgba(10, 20, 30, 255));
    QImage copy = ReduceColors(canvas, 24);
    EXPECT_EQ(copy.format(), QImage::Format_RGB32);
    EXPECT_EQ(copy.pixel(2, 1), qRgb(10, 20, 30));
    EXPECT_TRUE(ReduceColors(QImage(), 8).isNull());
    EXPECT_TRUE(ReduceColors(canvas, 2).isNull());
}

}  // namespace
}  // namespace veldra
