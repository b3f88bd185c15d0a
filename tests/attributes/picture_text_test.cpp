#include "attributes/picture_text.h"

#include <gtest/gtest.h>

namespace veldra {
namespace {

TEST(PictureText, PrefixAndCommaAreRequired) {
    EXPECT_FALSE(ParsePictureText("hello,50"));
    EXPECT_FALSE(ParsePictureText("^@B"));
    EXPECT_FALSE(ParsePictureText("^@BM"));
    EXPECT_FALSE(ParsePictureText("^@BMC:\\a.bmp"));
    EXPECT_FALSE(ParsePictureText(" ^@BMa.bmp,50"));
    EXPECT_TRUE(HasPicturePrefix("^@BMa.bmp"));
    EXPECT_FALSE(HasPicturePrefix("^@bm"));
}

TEST(PictureText, SingleNumberGivesASquareFrame) {
    const auto p = ParsePictureText("^@BMC:\\pics\\a.bmp,50");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->path, "C:\\pics\\a.bmp");
    EXPECT_EQ(p->width, 50.0);
    EXPECT_EQ(p->height, 50.0);
    EXPECT_EQ(p->trimX, 0.0);
    EXPECT_EQ(p->trimY, 0.0);
    EXPECT_EQ(p->trimSize, 1.0);
    EXPECT_FALSE(p->IsTrimmed());
}

TEST(PictureText, AllFiveNumbers) {
    const auto p = ParsePictureText("^@BMa.bmp,100,-40.5,0.5,0,0.5");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->path, "a.bmp");
    EXPECT_EQ(p->width, 100.0);
    EXPECT_EQ(p->height, -40.5);
    EXPECT_EQ(p->trimX, 0.5);
    EXPECT_EQ(p->trimY, 0.0);
    EXPECT_EQ(p->trimSize, 0.5);
    EXPECT_TRUE(p->IsTrimmed());
}

TEST(PictureText, MalformedNumbersReadAsZero) {
    const auto p = ParsePictureText("^@BM,abc,,x");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->path, "");
    EXPECT_EQ(p->width, 0.0);
    EXPECT_EQ(p->height, 0.0);
    EXPECT_EQ(p->trimX, 0.0);
    EXPECT_EQ(p->trimSize, 1.0);

    const auto trailing = ParsePictureText("^@BMa.bmp,");
    ASSERT_TRUE(trailing);
    EXPECT_EQ(trailing->width, 0.0);
    EXPECT_EQ(trailing->height, 0.0);
}

TEST(PictureText, ShiftJisPathIsKeptByteForByte) {
    // A path with two-byte characters whose trail bytes include '\\' (0x5C).
    const std::string path = "C:\\\x95\x5C\\\x8E\xA6.bmp";
    const auto p = ParsePictureText("^@BM" + path + ",20,10");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->path, path);
    EXPECT_EQ(p->height, 10.0);
}

TEST(PictureText, TrimToleranceIsTinyButReal) {
    TPictureText p;
    p.trimSize = 1.0 + 5e-9;
    EXPECT_FALSE(p.IsTrimmed());
    p.trimSize = 1.0 + 2e-8;
    EXPECT_TRUE(p.IsTrimmed());
    p = {};
    p.trimY = -1e-7;
    EXPECT_TRUE(p.IsTrimmed());
}

}  // namespace
}  // namespace veldra
