#include "fill/view_picture_file.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>

#include "tests/exchange/host_stand_in.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

QImage Decoded(const QByteArray& bytes) {
    QImage image;
    image.loadFromData(bytes);
    return image.convertToFormat(QImage::Format_RGB32);
}

// Byte 25 of a PNG is the colour type of its header: 3 palette, 2 colour.
int PngColourType(const QByteArray& bytes) {
    return bytes.size() > 25 ? static_cast<unsigned char>(bytes[25]) : -1;
}

bool SamePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) | 0xFF000000u) != (b.pixel(x, y) | 0xFF000000u)) return false;
    return true;
}

TEST(ViewPictureFile, PngReadsBackPixelForPixelWithAPaletteWhenItFits) {
    // A view: background and a few pens, with odd widths.
    QImage view(333, 71, QImage::Format_RGB32);
    view.fill(qRgb(255, 255, 255));
    const QRgb pens[] = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(10, 20, 30)};
    for (int y = 0; y < view.height(); ++y)
        for (int x = (y * 7) % 5; x < view.width(); x += 5) view.setPixel(x, y, pens[(x + y) % 4]);
    const QByteArray few = EncodeViewPng(view);
    EXPECT_EQ(PngColourType(few), 3);
    EXPECT_TRUE(SamePixels(Decoded(few), view));

    // Exactly 256 colours still fit; 257 do not, and go as colour.
    QImage many(257, 3, QImage::Format_RGB32);
    for (int x = 0; x < 257; ++x) {
        many.setPixel(x, 0, qRgb(x % 256, 0, 7));
        many.setPixel(x, 1, qRgb(x % 256, 0, 7));
        many.setPixel(x, 2, qRgb(x % 256, 0, x == 256 ? 8 : 7));
    }
    const QByteArray all = EncodeViewPng(many.copy(0, 0, 256, 3));
    EXPECT_EQ(PngColourType(all), 3);
    EXPECT_TRUE(SamePixels(Decoded(all), many.copy(0, 0, 256, 3)));
    const QByteArray over = EncodeViewPng(many);
    EXPECT_EQ(PngColourType(over), 2);
    EXPECT_TRUE(SamePixels(Decoded(over), many));
}

TEST(ViewPictureFile, FormatFollowsTheNameAndTheFileHoldsIt) {
    EXPECT_EQ(ViewPictureFormatOf("a/view.PNG"), TViewPictureFormat::Png);
    EXPECT_EQ(ViewPictureFormatOf("view.bmp"), TViewPictureFormat::Bmp);
    EXPECT_FALSE(ViewPictureFormatOf("view.jpg"));
    EXPECT_FALSE(ViewPictureFormatOf("view"));
    EXPECT_FALSE(ViewPictureFormatOf("png"));

    test::TTempFolder temp;
    QImage view(17, 9, QImage::Format_RGB32);
    view.fill(qRgb(1, 2, 3));
    view.setPixel(4, 5, qRgb(200, 100, 50));
    ASSERT_TRUE(SaveViewPicture(temp.path() / "v.bmp", view, TViewPictureFormat::Bmp));
    ASSERT_TRUE(SaveViewPicture(temp.path() / "v.png", view, TViewPictureFormat::Png));
    EXPECT_EQ(test::ReadBytes(temp.path() / "v.bmp").substr(0, 2), "BM");
    EXPECT_EQ(test::ReadBytes(temp.path() / "v.png").substr(1, 3), "PNG");
    for (const char* name : {"v.bmp", "v.png"}) {
        const QImage read(QString::fromStdString((temp.path() / name).string()));
        EXPECT_TRUE(SamePixels(read.convertToFormat(QImage::Format_RGB32), view)) << name;
    }
    EXPECT_FALSE(SaveViewPicture(temp.path() / "no" / "v.png", view, TViewPictureFormat::Png));
}

}  // namespace
}  // namespace veldra
