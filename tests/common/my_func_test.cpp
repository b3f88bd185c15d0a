#include "common/my_func.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "common/tolerances.h"

namespace veldra {
namespace {

TEST(ParseIntOrZero, ReadsWholeTextOrGivesZero) {
    EXPECT_EQ(ParseIntOrZero(""), 0);
    EXPECT_EQ(ParseIntOrZero("$F"), 15);
    EXPECT_EQ(ParseIntOrZero("$A"), 10);
    EXPECT_EQ(ParseIntOrZero("-7"), -7);
    EXPECT_EQ(ParseIntOrZero("+7"), 7);
    EXPECT_EQ(ParseIntOrZero("  42"), 42);
    EXPECT_EQ(ParseIntOrZero("3.5"), 0);
    EXPECT_EQ(ParseIntOrZero("12x"), 0);
    EXPECT_EQ(ParseIntOrZero("99999999999"), 0);
    EXPECT_EQ(ParseIntOrZero("2147483647"), 2147483647);
    EXPECT_EQ(ParseIntOrZero("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseIntOrZero("2147483648"), 0);
    EXPECT_EQ(ParseIntOrZero("$"), 0);
    EXPECT_EQ(ParseIntOrZero("-"), 0);
    EXPECT_EQ(ParseIntOrZero("$G"), 0);
}

TEST(ParseRealOrZero, ReadsWholeTextOrGivesZero) {
    EXPECT_EQ(ParseRealOrZero("-0.25"), -0.25);
    EXPECT_EQ(ParseRealOrZero("1.5e3"), 1500.0);
    EXPECT_EQ(ParseRealOrZero("1E-2"), 0.01);
    EXPECT_EQ(ParseRealOrZero(".5"), 0.5);
    EXPECT_EQ(ParseRealOrZero("5."), 5.0);
    EXPECT_EQ(ParseRealOrZero("+2"), 2.0);
    EXPECT_EQ(ParseRealOrZero("abc"), 0.0);
    EXPECT_EQ(ParseRealOrZero(""), 0.0);
    EXPECT_EQ(ParseRealOrZero("1,5"), 0.0);
    EXPECT_EQ(ParseRealOrZero("1e"), 0.0);
    EXPECT_EQ(ParseRealOrZero("."), 0.0);
    EXPECT_EQ(ParseRealOrZero("nan"), 0.0);
    EXPECT_EQ(ParseRealOrZero("inf"), 0.0);
    EXPECT_EQ(ParseRealOrZero("1e999"), 0.0);
    EXPECT_EQ(ParseRealOrZero("0x10"), 0.0);
}

TEST(ParseRealOrZero, ShortDecimalsComeOutBitForBitAsTheCorrectlyRoundedValue) {
    // Short plain decimals take a quicker way than the general conversion: both must give
    // the nearest double, to the bit, on every side of the 15-digit and 22-decimal limits.
    std::mt19937_64 random(3);
    auto check = [](const std::string& text) {
        const double expected = std::strtod(text.c_str(), nullptr);
        const double got = ParseRealOrZero(text);
        ASSERT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(expected)) << text;
    };
    for (int i = 0; i < 200000; ++i) {
        std::string text = random() % 4 == 0 ? "-" : "";
        const int whole = static_cast<int>(random() % 18),
                  decimals = static_cast<int>(random() % 25);
        for (int d = 0; d < whole; ++d) text += static_cast<char>('0' + random() % 10);
        if (decimals > 0 || whole == 0) text += '.';
        for (int d = 0; d < decimals; ++d) text += static_cast<char>('0' + random() % 10);
        if (whole == 0 && decimals == 0) text += '0';
        check(text);
    }
    for (const char* text : {"-0", "-0.0", "0.1", "0.3", "123456789012345", "1234567890123456",
                             "0.000000000000000000001", "9007199254740993", "-.5", "5.", "+7.25",
                             "000000000000000000000001.5", "1.0000000000000000000000"}) {
        check(text);
    }
}

TEST(ParseRealOrZero, DecimalsWithAPowerOfTenComeOutBitForBitAsTheCorrectlyRoundedValue) {
    // Numbers with an exponent take the quick way too while the power of ten stays within
    // 22 either way; on both sides of that and of the 15-digit limit they must match.
    std::mt19937_64 random(5);
    auto check = [](const std::string& text) {
        const double expected = std::strtod(text.c_str(), nullptr);
        const double got = ParseRealOrZero(text);
        ASSERT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(expected)) << text;
    };
    for (int i = 0; i < 200000; ++i) {
        std::string text = random() % 4 == 0 ? "-" : "";
        const int whole = 1 + static_cast<int>(random() % 17),
                  decimals = static_cast<int>(random() % 12);
        for (int d = 0; d < whole; ++d) text += static_cast<char>('0' + random() % 10);
        if (decimals > 0) text += '.';
        for (int d = 0; d < decimals; ++d) text += static_cast<char>('0' + random() % 10);
        text += random() % 2 == 0 ? 'e' : 'E';
        const int power = static_cast<int>(random() % 61) - 30;
        if (power >= 0 && random() % 2 == 0) text += '+';
        text += std::to_string(power);
        check(text);
    }
    for (const char* text : {"1e22", "1e23", "1e-22", "1e-23", "9.99999e+22", "-0e5", "0e400",
                             "1.5e007", "1.5e0007", "123456789012345e-22", "1234567890123456e1",
                             "4.940656e-324", "1.797693e+308", "-1.234560e+03"}) {
        check(text);
    }
    // Unreadable or out of range: 0 as before.
    EXPECT_EQ(ParseRealOrZero("1e"), 0.0);
    EXPECT_EQ(ParseRealOrZero("1e+"), 0.0);
    EXPECT_EQ(ParseRealOrZero("e5"), 0.0);
    EXPECT_EQ(ParseRealOrZero("1e5x"), 0.0);
    EXPECT_EQ(ParseRealOrZero("1.5e400"), 0.0);
}

TEST(ParseRealOrZero, ReadsOnlyTheBytesOfItsViewWhateverFollowsThem) {
    // Fields are views into a longer line: the digits after a view's end belong to the
    // next field and must not count, at any length and any place in the line.
    const std::string line = "-12345678.123456789012e1 987654321.5 3.25";
    for (size_t from = 0; from < line.size(); ++from) {
        for (size_t length = 1; from + length <= line.size(); ++length) {
            const std::string alone = line.substr(from, length);
            const double expected = ParseRealOrZero(alone);
            const double got = ParseRealOrZero(std::string_view(line).substr(from, length));
            ASSERT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(expected)) << alone;
        }
    }
    EXPECT_EQ(ParseRealOrZero(std::string_view("12345678901", 3)), 123.0);
    EXPECT_EQ(ParseRealOrZero(std::string_view("1.2345678901", 4)), 1.23);
    EXPECT_EQ(ParseRealOrZero("12.3.4"), 0.0);
    EXPECT_EQ(ParseRealOrZero("1234567:"), 0.0);
    EXPECT_EQ(ParseRealOrZero("12345678/"), 0.0);
    EXPECT_EQ(ParseRealOrZero("87654321.12345678"), 87654321.12345678);
}

TEST(FormatFixed, RoundsToRequestedDecimals) {
    EXPECT_EQ(FormatFixed(3, 12.3456), "12.346");
    EXPECT_EQ(FormatFixed(3, 100), "100.000");
    EXPECT_EQ(FormatFixed(0, -2.4), "-2");
    EXPECT_EQ(FormatFixed(2, 1e20), "100000000000000000000.00");
}

TEST(StripBlanks, DropsHalfAndFullWidthBlanksButNotTrailBytes) {
    EXPECT_EQ(StripBlanks(" \x81\x40\t \x81\x40"), "");
    // "Ａ Ｂ" -> "ＡＢ"
    EXPECT_EQ(StripBlanks("\x82\x60 \x82\x61"), "\x82\x60\x82\x61");
    // A trail byte of 0x20..0x40 is kept with its lead byte ("表" is 0x95 0x5C).
    EXPECT_EQ(StripBlanks("a\x95\x5c b"),
              "a\x95\x5c"
              "b");
    // A lead byte at the end is kept.
    EXPECT_EQ(StripBlanks("x\x82"), "x\x82");
}

TEST(RoundHalfAway, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(RoundHalfAway(2.5), 3);
    EXPECT_EQ(RoundHalfAway(-2.5), -3);
    EXPECT_EQ(RoundHalfAway(2.4999), 2);
    EXPECT_EQ(RoundHalfAway(-0.5), -1);
    EXPECT_EQ(RoundHalfAway(0.5), 1);
    EXPECT_EQ(RoundHalfAway(1e300), RoundHalfAway(1e19));  // saturates, no overflow
    EXPECT_EQ(RoundHalfAway(NAN), 0);
}

TEST(Angles, VectorDirectionAndNormalisation) {
    EXPECT_DOUBLE_EQ(AngleOfVector(0, -1), 3 * kPi / 2);
    EXPECT_EQ(AngleOfVector(1e-11, 1e-11), 0.0);
    EXPECT_DOUBLE_EQ(AngleOfVector(-1, 0), kPi);
    EXPECT_EQ(NormalizeDegrees(-720), 0.0);
    EXPECT_EQ(NormalizeDegrees(-30), 330.0);
    EXPECT_EQ(NormalizeDegrees(720), 0.0);
    EXPECT_EQ(NormalizeDegrees(360), 0.0);
    double huge = NormalizeDegrees(1e300);  // must not hang
    EXPECT_GE(huge, 0.0);
    EXPECT_LT(huge, 360.0);
}

TEST(EllipsePointDeg, TiltsTheFirstAxis) {
    double x = 0, y = 0;
    EllipsePointDeg(x, y, 10, 20, 4, 0.5, 90, 0);
    EXPECT_NEAR(x, 10, 1e-12);
    EXPECT_NEAR(y, 24, 1e-12);
    EllipsePointDeg(x, y, 0, 0, 4, 0.5, 0, 90);
    EXPECT_NEAR(x, 0, 1e-12);
    EXPECT_NEAR(y, 2, 1e-12);
}

TEST(PointsEqual, ToleranceIsInclusive) {
    EXPECT_TRUE(PointsEqual(0, 0, 1e-8, -1e-8));
    EXPECT_FALSE(PointsEqual(0, 0, 2e-8, 0));
}

TEST(SegmentIntersection, CasesOfTheFormat) {
    double x = -99, y = -99;
    EXPECT_EQ(SegmentIntersection(x, y, 0, 0, 2, 2, 0, 2, 2, 0), 1);
    EXPECT_DOUBLE_EQ(x, 1);
    EXPECT_DOUBLE_EQ(y, 1);
    EXPECT_EQ(SegmentIntersection(x, y, 0, 0, 1, 1, 3, 0, 4, -1), 2);
    EXPECT_DOUBLE_EQ(x, 1.5);
    EXPECT_DOUBLE_EQ(y, 1.5);
    x = y = -99;
    EXPECT_EQ(SegmentIntersection(x, y, 0, 0, 1, 0, 0, 1, 1, 1), 0);
    EXPECT_EQ(x, -99);
    EXPECT_EQ(SegmentIntersection(x, y, 1, 0, 1, 5, 0, 2, 3, 2), 1);
    EXPECT_DOUBLE_EQ(x, 1);
    EXPECT_DOUBLE_EQ(y, 2);
    EXPECT_EQ(SegmentIntersection(x, y, 1, 0, 1, 5, 2, 0, 2, 5), 0);  // both vertical
}

}  // namespace
}  // namespace veldra
