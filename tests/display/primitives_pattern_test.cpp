#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/tolerances.h"
#include "display/canvas/draw_context.h"

namespace veldra {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
// Line type 33 is 6 mm dash, 6 mm gap; 11 is a zigzag of 0.6 mm steps, 0.3 mm high.
constexpr int32_t kDashed = 33;
constexpr int32_t kZigzag = 11;

class PatternTest : public ::testing::Test {
  protected:
    PatternTest() : dc(view, attributes) {
        ConfigureAtStartup(attributes);
        SetScale(1);
    }
    // View units 0 .. 100 / scale on a 100 x 100 canvas.
    void SetScale(double scale) {
        view.viewLeft = 0;
        view.viewBottom = 0;
        view.viewRight = 100 / scale;
        view.viewTop = 100 / scale;
        view.viewScale = scale;
        view.viewWidth = 100;
        view.viewHeight = 100;
    }
    // '#' for inked pixels of canvas row y, columns from..to.
    std::string Row(int y, int from, int to) {
        std::string s;
        for (int x = from; x <= to; ++x) s += canvas.GetPixel(x, y) == kWhite ? '.' : '#';
        return s;
    }
    int InkedRows(int from, int to) {
        int n = 0;
        for (int y = from; y <= to; ++y) n += Row(y, 0, 99).find('#') != std::string::npos;
        return n;
    }

    TViewState view;
    TgraAttribute attributes;
    TDrawContext dc;
    TCanvas canvas{100, 100};
};

TEST_F(PatternTest, DashesStartAtTheFirstElement) {
    dc.DrawPatternLine(0, kDashed, canvas, 10, 50, 40, 50);
    EXPECT_EQ(Row(50, 8, 42), "..#######.....#######.....#######..");
    EXPECT_EQ(dc.PatternState.elementIndex, 0);
    EXPECT_DOUBLE_EQ(dc.PatternState.consumed, 6.0);
    EXPECT_EQ(dc.PatternState.lastLayerKey, 0);
    EXPECT_EQ(dc.PatternState.lastLineType, kDashed);
}

TEST_F(PatternTest, PhaseRunsOnAcrossJoinedSegments) {
    dc.DrawPatternLine(3, kDashed, canvas, 10, 50, 25, 50);
    EXPECT_EQ(dc.PatternState.elementIndex, 0);
    EXPECT_DOUBLE_EQ(dc.PatternState.consumed, 3.0);
    dc.DrawPatternLine(3, kDashed, canvas, 25, 50, 40, 50);
    EXPECT_EQ(Row(50, 8, 42), "..#######.....#######.....#######..");
}

TEST_F(PatternTest, PhaseRestartsWhenTheNextPieceIsNotJoined) {
    struct Case {
        const char* what;
        int32_t layer, type;
        double start;
        bool reset;
        const char* row;  // pixels 10..16
    } cases[] = {{"joined", 3, kDashed, 10, false, "..#####"},
                 {"reset", 3, kDashed, 10, true, "#######"},
                 {"other layer", 4, kDashed, 10, false, "#######"},
                 {"other line type", 3, 34, 10, false, "#######"},
                 {"gap at the joint", 3, kDashed, 10 + 2e-10, false, "#######"}};
    for (const Case& c : cases) {
        TCanvas elsewhere(100, 100);
        dc.ResetPatternState();
        dc.DrawPatternLine(3, kDashed, elsewhere, 0, 50, 10, 50);  // ends 2 into a gap
        if (c.reset) dc.ResetPatternState();
        dc.ClearCanvas(canvas, 100, 100);
        dc.SetCanvasPen(canvas, 0, 0, 0);
        dc.DrawPatternLine(c.layer, c.type, canvas, c.start, 50, 30, 50);
        EXPECT_EQ(Row(50, 10, 16), c.row) << c.what;
    }
}

TEST_F(PatternTest, StateKeepsTheClippedEndPoint) {
    dc.DrawPatternLine(1, kDashed, canvas, 50, 50, 150, 50);
    EXPECT_DOUBLE_EQ(dc.PatternState.lastEndX, 100.0);
    EXPECT_DOUBLE_EQ(dc.PatternState.lastEndY, 50.0);
    // Wholly outside: nothing drawn, the state stays.
    dc.DrawPatternLine(2, kDashed, canvas, 150, 50, 250, 50);
    EXPECT_EQ(dc.PatternState.lastLayerKey, 1);
}

TEST_F(PatternTest, ShortPatternsAndPlainTypesAreSolidLines) {
    SetScale(0.1);  // line type 33 has a period of 1.2 pixels here
    dc.DrawPatternLine(0, kDashed, canvas, 100, 500, 400, 500);
    EXPECT_EQ(Row(50, 9, 41), "." + std::string(31, '#') + ".");
    EXPECT_EQ(dc.PatternState.lastLayerKey, -1);
    SetScale(1);
    dc.DrawPatternLine(0, 1, canvas, 10, 20, 40, 20);
    EXPECT_EQ(Row(80, 10, 40), std::string(31, '#'));
}

TEST_F(PatternTest, ZigzagStaysWithinItsAmplitudeAndReturnsToTheLine) {
    SetScale(10);  // amplitude 3 pixels, elements of 6 pixels
    dc.DrawPatternLine(0, kZigzag, canvas, 1, 5, 9, 5);
    EXPECT_NE(Row(47, 0, 99).find('#'), std::string::npos);
    EXPECT_NE(Row(53, 0, 99).find('#'), std::string::npos);
    EXPECT_EQ(InkedRows(0, 46) + InkedRows(54, 99), 0);
    EXPECT_NE(canvas.GetPixel(90, 50), kWhite);
    EXPECT_EQ(canvas.GetPixel(10, 47), kWhite);  // it starts on the line
}

TEST_F(PatternTest, ArcOf72PiecesCarriesThePhaseAndCloses) {
    dc.DrawPatternArc(0, kDashed, canvas, 50, 50, 30, 1, 0, 0, kTwoPi);
    const double length = 72 * 2 * 30 * std::sin(kPi / 72);
    const double elements = std::floor(length / 6);
    EXPECT_EQ(dc.PatternState.elementIndex, static_cast<int>(elements) % 2);
    EXPECT_NEAR(dc.PatternState.consumed, length - 6 * elements, 1e-6);
    EXPECT_NEAR(dc.PatternState.lastEndX, 80, 1e-9);
    EXPECT_NEAR(dc.PatternState.lastEndY, 50, 1e-9);
    // The first dash starts at parameter 0 and the first gap follows 6 units on.
    EXPECT_NE(canvas.GetPixel(80, 48), kWhite);
    EXPECT_EQ(canvas.GetPixel(79, 41), kWhite);
}

TEST_F(PatternTest, FarAndInconsistentInputFinishes) {
    dc.DrawPatternLine(0, kDashed, canvas, -1e8, 50, 1e8, 50);
    EXPECT_EQ(dc.PatternState.lastEndX, 100.0);
    // A window far larger than the canvas at this scale: bounded all the same.
    view.viewLeft = -1e9;
    view.viewRight = 1e9;
    dc.DrawPatternLine(0, kDashed, canvas, -1e9 + 1, 50, 1e9 - 1, 50);
    dc.DrawPatternArc(0, kZigzag, canvas, 0, 0, 1e8, 1, 0, 0, kTwoPi);
}

}  // namespace
}  // namespace veldra
