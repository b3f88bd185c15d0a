// Header, attribute, mode and reference-point lines.

#include <gtest/gtest.h>

#include "exchange/exchange_reader.h"

namespace veldra {
namespace {

class ReaderState : public ::testing::Test {
  protected:
    void SetUp() override { InitStore(store); }
    void Read(std::string_view bytes) { ASSERT_TRUE(ReadExchangeBytes(store, bytes)); }
    TJwwEntityStore store;
    TJwwDrawingState& s = store.state;
};

TEST_F(ReaderState, HeaderValuesNeedTheirFieldCounts) {
    Read(
        "hk 2.5\nhs 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 1e+06\nhzs 420 297\n"
        "hcw 1 2 3 4 5 6 7 8 9 10\nhch 1 1 1 1 1 1 1 1 1 7\nhcd 1 1 1 1 1 1 1 1 1 0.5\n"
        "hcc 1 2 3 4 5 6 7 8 9 $A\nhn 1 2 3 -4\nbz\n");
    EXPECT_EQ(s.hkValue, 2.5);
    EXPECT_EQ(s.groupScale[0], 1.0);
    EXPECT_EQ(s.groupScale[15], 1e6);
    EXPECT_EQ(s.paperWidth, 420.0);
    EXPECT_EQ(s.paperHeight, 297.0);
    EXPECT_EQ(s.charKinds[10].width, 10.0);
    EXPECT_EQ(s.charKinds[10].height, 7.0);
    EXPECT_EQ(s.charKinds[10].spacing, 0.5);
    EXPECT_EQ(s.charKinds[10].color, 10);
    EXPECT_EQ(s.hnValues[3], -4.0);
    EXPECT_TRUE(s.bzFlag);

    InitStore(store);
    // Too few values: the table stays; "hs" with three numbers becomes a bare line.
    Read("hs 5 5 5\nhcw 1 2\nhzs 1\n");
    EXPECT_EQ(s.groupScale[0], 1.0);
    EXPECT_EQ(s.charKinds[1].width, 3.0);
    EXPECT_EQ(s.paperWidth, 1189.0);
    ASSERT_EQ(store.lines.size(), 1u);
    EXPECT_EQ(store.lines[0].x1, 0.0);
    EXPECT_EQ(store.lines[0].y1, 5.0);
}

TEST_F(ReaderState, FilePathKeepsBlanksAndKanji) {
    Read("file=C:\\My Drawings\\\x95\x5C.jww\r\n");
    EXPECT_EQ(s.filePath, "C:\\My Drawings\\\x95\x5C.jww");
}

TEST_F(ReaderState, LayerGroupAndLayerReadOneHexDigit) {
    Read("lgA\n");
    EXPECT_EQ(s.curLayerGroup, 10);
    Read("lgZ\n");
    EXPECT_EQ(s.curLayerGroup, 0);
    Read("lg12 7\nlyf 3\nlyn\x91\x77\nlgn\x8a\x4b\n");
    EXPECT_EQ(s.curLayerGroup, 1);
    EXPECT_EQ(s.curLayer, 15);
    EXPECT_EQ(s.groupState[1], 7);
    EXPECT_EQ(s.layerState[1 * 16 + 15], 3);
    EXPECT_EQ(s.layerNames[1 * 16 + 15], "\x91\x77");
    EXPECT_EQ(s.groupNames[1], "\x8a\x4b");
    // First occurrences: the first "lg" and "ly" lines only.
    EXPECT_EQ(s.firstLayerGroup, 10);
    EXPECT_EQ(s.firstLayer, 15);
    EXPECT_FALSE(s.firstLg);
}

TEST_F(ReaderState, AttributesReadTheirNumberFromFieldZeroOnly) {
    Read("lc 5\n");
    EXPECT_EQ(s.curColor, 0);
    Read("lc5\nlt3\nlw2\nlc7\nlt4\nlw9\npn6\ncc9\n");
    EXPECT_EQ(s.curColor, 7);
    EXPECT_EQ(s.firstColor, 0);  // the first "lc" line was "lc 5"
    EXPECT_EQ(s.firstLineType, 3);
    EXPECT_EQ(s.curLineType, 4);
    EXPECT_EQ(s.firstLineWidth, 2);
    EXPECT_EQ(s.curLineWidth, 9);
    EXPECT_EQ(s.curPn, 6);
    EXPECT_EQ(s.curCc, 0);  // outside 0..8
    Read("cc35\nlc10 $FF8000\n");
    EXPECT_EQ(s.curCc, 3);
    EXPECT_EQ(s.extColor, 0xFF8000);
    Read("lc10\n");  // without a value the extended colour stays
    EXPECT_EQ(s.extColor, 0xFF8000);
}

TEST_F(ReaderState, CharKindsAndFontNames) {
    Read("cn0 3 4 0.5 6\ncn\"$\ncn\"$<A B>\ncn7\ncn0 1 1 1 1\ncn$<C>\n");
    EXPECT_EQ(s.firstCharKind, 0);
    EXPECT_EQ(s.firstCharKind0.height, 4.0);
    EXPECT_EQ(s.firstCharKind0.color, 6);
    EXPECT_EQ(s.curCharKind, 0);
    EXPECT_EQ(s.curCharKind0.width, 1.0);
    // The first font line gave an empty name, so the first name is the next one.
    EXPECT_EQ(s.firstFontName, "<A B>");
    EXPECT_EQ(s.curFontName, "<C>");
}

TEST_F(ReaderState, ReferencePointsAndTags) {
    Read("hp5ln 10 20\nhp1- 1 2\nhp2 3 4\nhp3ch 5 6\nhp100 1 2\nhp0 1 2\nhp4 9\n");
    EXPECT_TRUE(s.refPoints[5].used);
    EXPECT_EQ(s.refPoints[5].x, 10.0);
    EXPECT_EQ(s.refPoints[5].y, 20.0);
    EXPECT_EQ(s.refPoints[5].tag, 2);
    EXPECT_EQ(s.refPoints[1].tag, 1);
    EXPECT_EQ(s.refPoints[2].tag, 0);
    EXPECT_EQ(s.refPoints[3].tag, 4);
    EXPECT_FALSE(s.refPoints[4].used);  // too few fields
    EXPECT_FALSE(s.refPoints[0].used);
    EXPECT_EQ(s.refPointCount, 4);
}

TEST_F(ReaderState, HhpStopsBeforeItsSuffix) {
    Read("hhp12ln\n");
    EXPECT_EQ(s.curHhp, 12);
    Read("hhp34\n");
    EXPECT_EQ(s.curHhp, 34);
    Read("hhp7ci 1 2 3\n");
    EXPECT_EQ(s.curHhp, 7);
    EXPECT_TRUE(store.lines.empty());
}

TEST_F(ReaderState, ZBitsApplyToTheNextEntityOnly) {
    Read("z3\nz1\nz3\n1 2 3 4\n5 6 7 8\nz5\nlc3\nci 0 0 1\n");
    ASSERT_EQ(store.lines.size(), 2u);
    EXPECT_EQ(store.lines[0].head.zFlags, 5);
    EXPECT_EQ(store.lines[1].head.zFlags, 0);
    EXPECT_EQ(store.circles[0].head.zFlags, 16);
    EXPECT_EQ(s.curZFlags, 0);
}

TEST_F(ReaderState, UnknownAndEmptyLinesChangeNothing) {
    TExchangeReadStats stats;
    ASSERT_TRUE(ReadExchangeBytes(store, "\n   \nxyz 1\nci 0 0 5 \nci 0 0 5 0 90\n", &stats));
    EXPECT_EQ(store.EntityCount(), 0u);
    EXPECT_EQ(stats.lines, 5);
    EXPECT_EQ(stats.blank, 2);
    EXPECT_EQ(stats.ignored, 3);
}

// Indexes never reach past a table, even in a store that skipped InitStore or whose
// current layer group was set out of range from outside.
TEST(ReaderStateGuards, TablesAreNeverIndexedOutOfRange) {
    TJwwEntityStore bare;
    EXPECT_TRUE(ReadExchangeBytes(bare, "lg5 1\nly3 2\nlgnA\nlynB\nhp5 1 2\n"));
    EXPECT_EQ(bare.state.curLayerGroup, 5);
    TJwwEntityStore store;
    InitStore(store);
    SetCurrentLayerGroup(store, 99);
    EXPECT_TRUE(ReadExchangeBytes(store, "lynC\nlgnD\n"));
    EXPECT_EQ(store.state.layerNames, std::vector<std::string>(256));
}

}  // namespace
}  // namespace veldra
