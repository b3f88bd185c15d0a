#include "attributes/line_types.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "attributes/gra_attribute.h"

namespace veldra {
namespace {

TEST(LineTypes, IndexMappingAndGaps) {
    EXPECT_EQ(LineTypeIndex(1), 0);
    EXPECT_EQ(LineTypeIndex(9), 8);
    EXPECT_EQ(LineTypeIndex(11), 9);
    EXPECT_EQ(LineTypeIndex(19), 17);
    EXPECT_EQ(LineTypeIndex(31), 18);
    EXPECT_EQ(LineTypeIndex(62), 49);
    for (int32_t none : {0, 10, 20, 25, 30, 63, -1, 1000}) {
        EXPECT_EQ(LineTypeIndex(none), -1) << none;
    }
}

TEST(LineTypes, NumbersWithoutLineTypeReadAsPlainLines) {
    TgraAttribute a;
    TPatternElements buffer;
    buffer.fill(7.0);
    for (int32_t none : {10, 20, 30, 63}) {
        EXPECT_EQ(a.LineTypeCount(none), 0) << none;
        EXPECT_EQ(a.LineTypeAmplitude(none), 0.0) << none;
        EXPECT_EQ(a.LineTypeLength(none), 0.0) << none;
        EXPECT_EQ(a.LineTypeElements(none, buffer), 0) << none;
    }
    EXPECT_EQ(buffer[0], 7.0);
    // These exist but have no elements.
    for (int32_t plain : {1, 31, 46, 62}) {
        EXPECT_EQ(a.LineTypeCount(plain), 0) << plain;
        EXPECT_EQ(a.LineTypeLength(plain), 0.0) << plain;
    }
}

struct TDashCase {
    int32_t lineType;
    std::vector<double> elements;
    double length;
};

TEST(LineTypes, DashPatternsAndLengths) {
    const std::vector<TDashCase> cases = {
        {2, {0.36, -0.72, 0.36}, 1.44},
        {3, {0.72, -1.44, 0.72}, 2.88},
        {4, {1.08, -0.72, 1.08}, 2.88},
        {5, {1.8, -0.72, 0.72, -0.72, 1.8}, 5.76},
        {6, {4.68, -0.72, 0.72, -0.72, 4.68}, 11.52},
        {7, {1.44, -0.72, 0.36, -0.72, 0.36, -0.72, 1.44}, 5.76},
        {8, {4.32, -0.72, 0.36, -0.72, 0.36, -0.72, 4.32}, 11.52},
        {9, {0.18, -1.08, 0.18}, 1.44},
        {16, {8.4, -1.2, 1.6, -1.2, 8.4}, 20.8},
        {17, {10.6, -1.6, 1.2, -1.6, 1.2, -1.6, 10.6}, 28.4},
        {18, {13.6, -1.6, 13.6}, 28.8},
        {19, {22.0, -3.0, 22.0}, 47.0},
        {32, {6.0, -1.5}, 7.5},
        {33, {6.0, -6.0}, 12.0},
        {34, {12.0, -1.5, 0.25, -1.5}, 15.25},
        {35, {12.0, -1.5, 0.25, -1.5, 0.25, -1.5}, 17.0},
        {36, {12.0, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5}, 18.75},
        {37, {0.25, -1.5}, 1.75},
        {38, {12.0, -1.5, 3.5, -1.5}, 18.5},
        {39, {12.0, -1.5, 3.5, -1.5, 3.5, -1.5}, 23.5},
        {40, {6.0, -1.5, 0.25, -1.5}, 9.25},
        {41, {6.0, -1.5, 6.0, -1.5, 0.25, -1.5}, 16.75},
        {42, {6.0, -1.5, 0.25, -1.5, 0.25, -1.5}, 11.0},
        {43, {6.0, -1.5, 6.0, -1.5, 0.25, -1.5, 0.25, -1.5}, 18.5},
        {44, {6.0, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5}, 12.75},
        {45, {6.0, -1.5, 6.0, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5}, 20.25},
    };
    TgraAttribute a;
    for (const TDashCase& c : cases) {
        SCOPED_TRACE(c.lineType);
        TPatternElements buffer{};
        const int32_t count = a.LineTypeElements(c.lineType, buffer);
        ASSERT_EQ(count, static_cast<int32_t>(c.elements.size()));
        EXPECT_EQ(a.LineTypeCount(c.lineType), count);
        EXPECT_EQ(a.LineTypeAmplitude(c.lineType), 0.0);
        for (size_t i = 0; i < c.elements.size(); ++i) {
            EXPECT_NEAR(buffer[i], c.elements[i], 1e-12) << i;
        }
        EXPECT_NEAR(a.LineTypeLength(c.lineType), c.length, 1e-9);
    }
}

TEST(LineTypes, ElementsCopyOnlyCountEntries) {
    TgraAttribute a;
    TPatternElements buffer;
    buffer.fill(99.0);
    EXPECT_EQ(a.LineTypeElements(37, buffer), 2);
    EXPECT_EQ(buffer[0], 0.25);
    EXPECT_EQ(buffer[1], -1.5);
    EXPECT_EQ(buffer[2], 99.0);
}

TEST(LineTypes, ZigzagsFollowThePatternText) {
    ASSERT_EQ(std::strlen(kZigzagPatternText), 32u);
    const struct {
        int32_t lineType;
        double unit;
        double amplitude;
        double length;
    } zigzags[] = {{11, 0.6, 0.3, 19.2},
                   {12, 1.2, 0.3, 38.4},
                   {13, 1.8, 0.6, 57.6},
                   {14, 2.4, 0.6, 76.8},
                   {15, 3.0, 0.6, 96.0}};
    TgraAttribute a;
    for (const auto& z : zigzags) {
        SCOPED_TRACE(z.lineType);
        TPatternElements buffer;
        buffer.fill(0.0);
        ASSERT_EQ(a.LineTypeElements(z.lineType, buffer), 32);
        EXPECT_EQ(a.LineTypeAmplitude(z.lineType), z.amplitude);
        EXPECT_NEAR(a.LineTypeLength(z.lineType), z.length, 1e-9);
        // "22002200..." : the first two up, the next two down, and so on.
        EXPECT_EQ(buffer[0], z.unit);
        EXPECT_EQ(buffer[1], z.unit);
        EXPECT_EQ(buffer[2], -z.unit);
        EXPECT_EQ(buffer[3], -z.unit);
        EXPECT_EQ(buffer[31], -z.unit);
        int up = 0;
        for (double e : buffer) {
            EXPECT_EQ(std::fabs(e), z.unit);
            if (e > 0) ++up;
        }
        EXPECT_EQ(up, 16);
    }
}

TEST(LineTypes, RebuildClearsAnyEarlierContent) {
    std::vector<TgraLineType> table(3);
    table[0].Count = 5;
    BuildLineTypeTable(table);
    ASSERT_EQ(table.size(), 50u);
    EXPECT_EQ(table[0].Count, 0);
    for (size_t i = 33; i < 50; ++i) {
        EXPECT_EQ(table[i].Count, 0) << i;
        EXPECT_EQ(table[i].Length, 0.0) << i;
    }
}

}  // namespace
}  // namespace veldra
