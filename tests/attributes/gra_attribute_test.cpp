#include "attributes/gra_attribute.h"
#include "common/abort_poll.h"

#include <gtest/gtest.h>

namespace veldra {
namespace {

constexpr ColorRef Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return MakeColorRef(r, g, b);
}

TEST(GraAttribute, ColorRefKeepsRedInTheLowByte) {
    EXPECT_EQ(Rgb(255, 0, 0), 0x0000FFu);
    EXPECT_EQ(Rgb(0, 0, 255), 0xFF0000u);
    EXPECT_EQ(ColorRefRed(0x123456u), 0x56u);
    EXPECT_EQ(ColorRefGreen(0x123456u), 0x34u);
    EXPECT_EQ(ColorRefBlue(0x123456u), 0x12u);
}

TEST(GraAttribute, TablesHaveTheirFixedLengths) {
    TgraAttribute a;
    EXPECT_EQ(a.LayerTable().size(), 256u);
    EXPECT_EQ(a.PenTable().size(), 265u);
    EXPECT_EQ(a.LineTypeTable().size(), 50u);
}

TEST(GraAttribute, PenIndexCoversBothColourRanges) {
    EXPECT_EQ(TgraAttribute::PenIndex(1), 0);
    EXPECT_EQ(TgraAttribute::PenIndex(9), 8);
    EXPECT_EQ(TgraAttribute::PenIndex(101), 9);
    EXPECT_EQ(TgraAttribute::PenIndex(116), 24);
    EXPECT_EQ(TgraAttribute::PenIndex(356), 264);
    for (int32_t none : {0, 10, 50, 100, 357, -1, -101}) {
        EXPECT_EQ(TgraAttribute::PenIndex(none), -1) << none;
    }
}

TEST(GraAttribute, ColourWithoutPenIsTheBackgroundAndHasNoWidth) {
    TgraAttribute a;
    ConfigureAtStartup(a);
    for (int32_t none : {0, 10, 50, 100, 357, -1}) {
        EXPECT_EQ(a.PenColor(none), 0xFFFFFFu) << none;
        EXPECT_EQ(a.PenWidth(none), 0.0) << none;
    }
    a.SetBackground(kBackgroundBlack);
    a.BuildPenColors();
    EXPECT_EQ(a.PenColor(10), 0x000000u);
}

TEST(GraAttribute, PenColoursOnWhiteBackground) {
    TgraAttribute a;
    ConfigureAtStartup(a);
    EXPECT_EQ(a.PenColor(1), Rgb(0, 192, 192));
    EXPECT_EQ(a.PenColor(2), Rgb(0, 0, 0));
    EXPECT_EQ(a.PenColor(4), Rgb(192, 192, 0));
    EXPECT_EQ(a.PenColor(6), Rgb(0, 0, 255));
    EXPECT_EQ(a.PenColor(7), Rgb(0, 128, 128));
    EXPECT_EQ(a.PenColor(8), Rgb(255, 0, 128));
    EXPECT_EQ(a.PenColor(9), Rgb(255, 128, 255));
    EXPECT_EQ(a.PenColor(101), Rgb(0, 0, 0));
    EXPECT_EQ(a.PenColor(102), Rgb(255, 0, 0));
    EXPECT_EQ(a.PenColor(104), Rgb(0, 0, 255));
    EXPECT_EQ(a.PenColor(108), Rgb(0, 0, 0));
    EXPECT_EQ(a.PenColor(109), Rgb(192, 0, 128));
    EXPECT_EQ(a.PenColor(110), Rgb(192, 128, 64));
    EXPECT_EQ(a.PenColor(114), Rgb(128, 64, 255));
    EXPECT_EQ(a.PenColor(116), Rgb(128, 128, 128));
    EXPECT_EQ(a.PenColor(117), Rgb(0, 0, 0));
    EXPECT_EQ(a.PenColor(200), Rgb(0, 0, 0));
    EXPECT_EQ(a.PenColor(356), Rgb(0, 0, 0));
}

TEST(GraAttribute, PenColoursOnBlackBackground) {
    TgraAttribute a;
    ConfigureAtStartup(a);
    a.SetBackground(kBackgroundBlack);
    a.BuildPenColors();
    EXPECT_EQ(a.BackgroundMode(), kBackgroundBlack);
    EXPECT_EQ(a.BackgroundColor(), 0x000000u);
    EXPECT_EQ(a.ForegroundColor(), 0xFFFFFFu);
    EXPECT_EQ(a.PenColor(1), Rgb(0, 255, 255));
    EXPECT_EQ(a.PenColor(2), Rgb(255, 255, 255));
    EXPECT_EQ(a.PenColor(3), Rgb(0, 255, 0));
    EXPECT_EQ(a.PenColor(5), Rgb(192, 0, 192));
    EXPECT_EQ(a.PenColor(6), Rgb(32, 32, 255));
    EXPECT_EQ(a.PenColor(8), Rgb(160, 0, 0));
    EXPECT_EQ(a.PenColor(9), Rgb(192, 128, 128));
    EXPECT_EQ(a.PenColor(101), Rgb(255, 255, 255));
    EXPECT_EQ(a.PenColor(103), Rgb(0, 255, 0));
    EXPECT_EQ(a.PenColor(108), Rgb(255, 255, 255));
    EXPECT_EQ(a.PenColor(113), Rgb(0, 128, 255));
    EXPECT_EQ(a.PenColor(115), Rgb(192, 192, 192));
    EXPECT_EQ(a.PenColor(117), Rgb(255, 255, 255));
    EXPECT_EQ(a.PenColor(200), Rgb(255, 255, 255));
}

TEST(GraAttribute, BackgroundChangeNeedsRebuildAndRoundTrips) {
    TgraAttribute a;
    ConfigureAtStartup(a);
    const std::vector<TgraPen> white = a.PenTable();

    // The mode alone does not touch the pens.
    a.SetBackground(kBackgroundBlack);
    EXPECT_EQ(a.PenColor(2), Rgb(0, 0, 0));
    a.BuildPenColors();
    EXPECT_EQ(a.PenColor(2), Rgb(255, 255, 255));

    // An unknown mode changes nothing.
    a.SetBackground(2);
    a.BuildPenColors();
    EXPECT_EQ(a.BackgroundMode(), kBackgroundBlack);
    EXPECT_EQ(a.PenColor(6), Rgb(32, 32, 255));
    a.SetBackground(-1);
    EXPECT_EQ(a.BackgroundColor(), 0x000000u);

    a.SetBackground(kBackgroundWhite);
    a.BuildPenColors();
    ASSERT_EQ(a.PenTable().size(), white.size());
    for (size_t i = 0; i < white.size(); ++i) {
        EXPECT_EQ(a.PenTable()[i].Color, white[i].Color) << i;
        EXPECT_EQ(a.PenTable()[i].Width, white[i].Width) << i;
    }
}

TEST(GraAttribute, PenWidthsFollowTheColourNumber) {
    TgraAttribute a;
    const double expected[] = {0.1, 0.15, 0.2, 0.25, 0.3, 0.35, 0.4, 0.5, 0.01};
    for (int32_t c = 1; c <= 9; ++c) EXPECT_EQ(a.PenWidth(c), expected[c - 1]) << c;
    EXPECT_EQ(a.PenWidth(101), 0.18);
    EXPECT_EQ(a.PenWidth(356), 0.18);
    a.SetBackground(kBackgroundBlack);
    a.BuildPenColors();
    EXPECT_EQ(a.PenWidth(8), 0.5);
}

TEST(GraAttribute, LayersStartNormalWithHexLabels) {
    TgraAttribute a;
    EXPECT_EQ(a.LayerState(0), kLayerNormal);
    EXPECT_EQ(a.LayerState(255), kLayerNormal);
    EXPECT_EQ(a.LayerState(-1), kLayerNormal);
    EXPECT_EQ(a.LayerState(256), kLayerNormal);
    EXPECT_EQ(a.LayerTable()[0].GroupLabel, "[0] ");
    EXPECT_EQ(a.LayerTable()[0].LayerLabel, "(0) ");
    EXPECT_EQ(a.LayerTable()[0xAF].GroupLabel, "[A] ");
    EXPECT_EQ(a.LayerTable()[0xAF].LayerLabel, "(F) ");
    EXPECT_EQ(a.LayerTable()[0x39].GroupLabel, "[3] ");
    EXPECT_EQ(a.LayerTable()[0x39].LayerLabel, "(9) ");
    EXPECT_EQ(a.LayerTable()[255].Scale, 1.0);
}

TEST(GraAttribute, LayerStatesCanBeChangedWithinRange) {
    TgraAttribute a;
    a.SetLayerState(0x21, kLayerHidden);
    a.SetLayerState(0x22, kLayerGray);
    a.SetLayerState(0x23, 4);
    a.SetLayerState(256, kLayerHidden);
    EXPECT_EQ(a.LayerState(0x21), kLayerHidden);
    EXPECT_EQ(a.LayerState(0x22), kLayerGray);
    EXPECT_EQ(a.LayerState(0x23), kLayerNormal);
    EXPECT_EQ(a.LayerState(256), kLayerNormal);
    // Rebuilding the layer table makes every layer normal again.
    a.BuildLayerTable();
    EXPECT_EQ(a.LayerState(0x21), kLayerNormal);
}

TEST(GraAttribute, NewInstanceAndStartupConfiguration) {
    TgraAttribute a;
    EXPECT_FALSE(a.LineWidthMode());
    EXPECT_FALSE(a.ShowAuxiliary());
    EXPECT_EQ(a.BackgroundMode(), kBackgroundWhite);
    EXPECT_EQ(a.GrayColor(), 0x808080u);

    a.SetGrayColor(0x123456);
    a.SetBackground(kBackgroundBlack);
    ConfigureAtStartup(a);
    EXPECT_TRUE(a.LineWidthMode());
    EXPECT_TRUE(a.ShowAuxiliary());
    EXPECT_EQ(a.BackgroundMode(), kBackgroundWhite);
    EXPECT_EQ(a.BackgroundColor(), 0xFFFFFFu);
    EXPECT_EQ(a.GrayColor(), 0x808080u);
    EXPECT_EQ(a.PenColor(2), Rgb(0, 0, 0));
    EXPECT_EQ(a.LineTypeCount(11), 32);
}

TEST(GraAttribute, CheckAbortAsksThePollEachTime) {
    EXPECT_FALSE(CheckAbort(AbortPoll{}));
    int calls = 0;
    const AbortPoll stopOnThird = [&calls] { return ++calls >= 3; };
    EXPECT_FALSE(CheckAbort(stopOnThird));
    EXPECT_FALSE(CheckAbort(stopOnThird));
    EXPECT_TRUE(CheckAbort(stopOnThird));
    EXPECT_EQ(calls, 3);
}

}  // namespace
}  // namespace veldra
