#include "app/window_bounds.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <climits>
#include <cstdlib>

#include "tests/app/form_fixture.h"

namespace veldra {
namespace {

const QSize kMinimum(475, 200);
const QList<QRect> kTwoScreens = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 800, 600)};

TEST(RestoredBounds, KeepsBoundsThatFitTheirScreen) {
    EXPECT_EQ(RestoredBounds({30, 40}, {500, 300}, kTwoScreens, kMinimum), QRect(30, 40, 500, 300));
    EXPECT_EQ(RestoredBounds({1300, 10}, {500, 300}, kTwoScreens, kMinimum),
              QRect(1300, 10, 500, 300))
        << "on the second screen";
}

// Any number a settings file holds gives a window no larger than the screen it
// lands on and inside it.
TEST(RestoredBounds, LimitsSizeAndPositionToTheScreen) {
    EXPECT_EQ(RestoredBounds({0, 0}, {INT_MAX, INT_MAX}, kTwoScreens, kMinimum),
              QRect(0, 0, 1280, 1024));
    EXPECT_EQ(RestoredBounds({INT_MAX, INT_MIN}, {20000, 15000}, kTwoScreens, kMinimum),
              QRect(1280, 0, 800, 600))
        << "no screen shows it: the nearest";
    EXPECT_EQ(RestoredBounds({-322, -40}, {600, 400}, kTwoScreens, kMinimum), QRect(0, 0, 600, 400))
        << "a title bar off the left edge comes back onto the nearest screen";
    EXPECT_EQ(RestoredBounds({1000, 900}, {500, 300}, kTwoScreens, kMinimum),
              QRect(780, 724, 500, 300))
        << "sticking out at the lower right: moved in";
    EXPECT_EQ(RestoredBounds({1500, 100}, {1000, 700}, kTwoScreens, kMinimum),
              QRect(1280, 0, 800, 600))
        << "larger than the second screen";
    EXPECT_EQ(RestoredBounds({-100, -10}, {100, 50}, kTwoScreens, kMinimum), QRect(0, 0, 475, 200))
        << "the minimum stands";
    EXPECT_EQ(RestoredBounds({10, 10}, {900, 900}, {QRect(0, 0, 400, 150)}, kMinimum),
              QRect(0, 0, 475, 200))
        << "a screen below the minimum keeps the minimum";
}

// A saved position taken to the X server's device pixels and back is the same number
// at every scale of 1 or more, about any screen origin; a position the user left
// between two logical pixels comes back to the same logical pixel every time.
TEST(DevicePixels, ALogicalPositionComesBackExactly) {
    for (const double ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0}) {
        for (const int origin : {0, 1024, -1280, 333}) {
            for (int logical = -3000; logical <= 5000; ++logical) {
                const int device = DeviceFromLogical(logical, origin, ratio);
                ASSERT_EQ(LogicalFromDevice(device, origin, ratio), logical)
                    << "ratio " << ratio << ", origin " << origin << ", device " << device;
            }
            for (int device = -3000; device <= 5000; ++device) {
                const int logical = LogicalFromDevice(device, origin, ratio);
                const int back = DeviceFromLogical(logical, origin, ratio);
                ASSERT_LE(std::abs(back - device), ratio / 2 + 0.5) << "ratio " << ratio;
                ASSERT_EQ(LogicalFromDevice(back, origin, ratio), logical) << "ratio " << ratio;
            }
        }
    }
    EXPECT_EQ(DeviceFromLogical(20, 0, 1.5), 30);
    EXPECT_EQ(DeviceFromLogical(21, 0, 1.5), 32) << "31.5: halves away from zero";
    EXPECT_EQ(LogicalFromDevice(-73, 0, 2.0), -37);
    EXPECT_EQ(DeviceFromLogical(1034, 1024, 2.0), 1044) << "scaled about the screen's origin";
    EXPECT_EQ(LogicalFromDevice(INT_MAX, 0, 1.0), INT_MAX);
    EXPECT_EQ(DeviceFromLogical(INT_MAX, 0, 2.0), INT_MAX) << "beyond an int: its end";
    EXPECT_EQ(DeviceFromLogical(7, 0, 0.0), 7) << "no ratio: unscaled";
}

}  // namespace

namespace test {

// The window itself, offscreen: absurd bounds come back limited and are saved so.
TEST_F(FormTest, HugeSavedBoundsOpenAWindowThatFitsTheScreen) {
    WriteFile("veldra.dat", "2147483647\r\n2147483647\r\n2147483647\r\n2147483647\r\n");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    TForm1& form = Open();
    EXPECT_TRUE(screen.contains(form.frameGeometry()));
    EXPECT_GE(form.width(), screen.width() - 50) << "as large as the screen allows";
    EXPECT_FALSE(form.ViewBitmap().isNull());
    const QSize size = form.size();
    Close();
    const std::string saved = ReadFile("veldra.dat");
    EXPECT_EQ(saved.substr(0, saved.find("\r\n\r\n")),
              std::to_string(screen.left()) + "\r\n" + std::to_string(screen.top()) + "\r\n" +
                  std::to_string(size.width()) + "\r\n" + std::to_string(size.height()));
}

}  // namespace test
}  // namespace veldra
