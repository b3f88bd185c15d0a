#include "display/pictures/picture_frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/pictures/img_convert.h"

namespace veldra {
namespace {

TEST(PictureFrame, KeepsTheWidthAndThePicturesAspect) {
    // 100 wide, picture twice as wide as high: 50 high, above for a positive height.
    TPictureFrame up = PlacePictureFrame(10, 20, 110, 30, 2.0);
    EXPECT_DOUBLE_EQ(up.left, 10);
    EXPECT_DOUBLE_EQ(up.right, 110);
    EXPECT_DOUBLE_EQ(up.bottom, 20);
    EXPECT_DOUBLE_EQ(up.top, 70);
    // A negative (or zero) height puts it below the insertion point.
    TPictureFrame down = PlacePictureFrame(10, 20, 110, -500, 2.0);
    EXPECT_DOUBLE_EQ(down.bottom, -30);
    EXPECT_DOUBLE_EQ(down.top, 20);
    TPictureFrame flat = PlacePictureFrame(10, 20, 110, 20, 2.0);
    EXPECT_DOUBLE_EQ(flat.top, 20);
    // A negative width runs leftwards but the frame stays ordered.
    TPictureFrame left = PlacePictureFrame(10, 0, -90, 5, 1.0);
    EXPECT_DOUBLE_EQ(left.left, -90);
    EXPECT_DOUBLE_EQ(left.right, 10);
    EXPECT_DOUBLE_EQ(left.top, 100);
}

TEST(PictureFrame, TrimValuesAtOrBelowZeroFallBack) {
    const TTrim t = NormalizeTrim(-0.5, 1e-11, 0.0);
    EXPECT_EQ(t.x, 0.0);
    EXPECT_EQ(t.y, 0.0);
    EXPECT_EQ(t.size, 1.0);
    const TTrim nan = NormalizeTrim(std::nan(""), std::nan(""), std::nan(""));
    EXPECT_EQ(nan.x, 0.0);
    EXPECT_EQ(nan.size, 1.0);
    const TTrim kept = NormalizeTrim(0.25, 0.5, 0.5);
    EXPECT_EQ(kept.x, 0.25);
    EXPECT_EQ(kept.size, 0.5);
}

TEST(PictureFrame, TrimShowsThePartCountedFromTheBottom) {
    // Trim x 0.5, y 0, size 0.5 of 100 x 80: the bottom-right quarter.
    const TSourceRect r = TrimSourceRect(100, 80, {0.5, 0.0, 0.5});
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.right, 100);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.bottom, 80);
    // Trim y 0.5 lifts it to the top half.
    const TSourceRect top = TrimSourceRect(100, 80, {0.0, 0.5, 0.5});
    EXPECT_EQ(top.top, 0);
    EXPECT_EQ(top.bottom, 40);
    // A size above 1 always starts at row 0 and reaches beyond the picture.
    const TSourceRect big = TrimSourceRect(10, 10, {0.0, 0.3, 2.0});
    EXPECT_EQ(big.top, 0);
    EXPECT_EQ(big.bottom, 20);
    EXPECT_EQ(big.right, 20);
}

TEST(PictureFrame, RoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    // Width 5 at size 0.5 is 2.5: two pixels, not three.
    EXPECT_EQ(TrimSourceRect(5, 5, {0.0, 0.0, 0.5}).right, 2);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), 1000000000000000000);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
}

TEST(ImgConvert, ReportsThatItCannotConvert) {
    int32_t w = 7, h = 9;
    PictureSizeOf("anything.png", w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_FALSE(ConvertPictureToBitmap("a.jpg", "/nonexistent/$IMGTEMP.BMP", -1));
}

}  // namespace
}  // namespace veldra
