// The fill command making a picture for print: placement handed back for both areas,
// the size limit, and neighbouring fills that meet without a seam.

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <string>

#include "attributes/gra_attribute.h"
#include "exchange/exchange_reader.h"
#include "fill/fill_pipeline.h"
#include "fill/output_area.h"
#include "tests/fill/print_test_util.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

using test::ViewOf;

std::string Square(double x0, double y0, double x1, double y1) {
    auto p = [](double x, double y) { return std::to_string(x) + " " + std::to_string(y); };
    return p(x0, y0) + " " + p(x1, y0) + "\n" + p(x1, y0) + " " + p(x1, y1) + "\n" + p(x1, y1) +
           " " + p(x0, y1) + "\n" + p(x0, y1) + " " + p(x0, y0) + "\n";
}

class PrintFillTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("veldra-print-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "program");
        QImage texture(23, 17, QImage::Format_RGB32);
        for (int y = 0; y < 17; ++y) {
            for (int x = 0; x < 23; ++x) texture.setPixel(x, y, qRgb(x * 11, y * 15, (x ^ y) * 9));
        }
        texture.save(QString::fromStdString((dir_ / "texture.png").string()));
        ConfigureAtStartup(attributes_);
        options_.texturePath = (dir_ / "texture.png").string();
        options_.outputName = (dir_ / "fill.bmp").string();
        options_.arcDivisions = 72;
    }
    void TearDown() override { fs::remove_all(dir_); }

    TFillResult Run(const std::string& exchange, const TViewState& view) {
        InitStore(store_);
        ReadExchangeBytes(store_, exchange);
        ResetCurrentAttributes(store_);
        return RunFillCommand(options_, {store_, attributes_, view, dir_ / "program"}, handBack_);
    }
    fs::path Temp() const { return dir_ / "program" / "rw47_temp.BMP"; }
    QImage Saved() const { return QImage(QString::fromStdString(Temp().string()), "BMP"); }

    fs::path dir_;
    TJwwEntityStore store_;
    TgraAttribute attributes_;
    TFillOptions options_;
    TFillHandBack handBack_;
};

TEST_F(PrintFillTest, FillAreaPlacementFollowsThePictureExactly) {
    options_.print.dpi = 254;  // 10 pixels per mm
    options_.print.area = TOutputArea::Fill;
    const TFillResult result = Run(Square(2.04, 3.0, 12.0, 8.55), ViewOf(-100, -100, 2, 400, 400));
    ASSERT_TRUE(result.Ok()) << result.message;
    // Columns floor(20.4) - 1 = 19 .. 120 + 1; rows 30 - 1 .. ceil(85.5) + 1 = 87.
    EXPECT_EQ(result.pictureWidth, 102);
    EXPECT_EQ(result.pictureHeight, 58);
    EXPECT_EQ(Saved().size(), QSize(102, 58));
    EXPECT_DOUBLE_EQ(handBack_.ImageOriginX, 1.9);
    EXPECT_DOUBLE_EQ(handBack_.ImageOriginY, 2.9);
    EXPECT_DOUBLE_EQ(handBack_.ImageWidth, 10.2);
    EXPECT_EQ(handBack_.pictureText, "^@BM" + options_.outputName + ",10.200");
    // The margin pixel is background; the one inside is painted.
    const QImage saved = Saved();
    EXPECT_EQ(saved.pixel(0, 30), qRgb(255, 255, 255));
    EXPECT_NE(saved.pixel(2, 30), qRgb(255, 255, 255));
    // The window gets the picture scaled into the paint box.
    EXPECT_EQ(result.picture.size(), QSize(400, 400));
    EXPECT_EQ(result.pictureDpi, 254);
}

TEST_F(PrintFillTest, ViewAreaAtADpiKeepsTheViewCorner) {
    options_.print.dpi = 150;
    const TViewState view = ViewOf(-50, -25, 4, 400, 200);  // 100 x 50 mm
    const TFillResult result = Run(Square(-10, -10, 10, 10), view);
    ASSERT_TRUE(result.Ok()) << result.message;
    EXPECT_EQ(result.pictureWidth, 591);   // 100 * 150 / 25.4 = 590.55
    EXPECT_EQ(result.pictureHeight, 295);  // 295.28
    EXPECT_EQ(handBack_.ImageOriginX, -50);
    EXPECT_EQ(handBack_.ImageOriginY, -25);
    EXPECT_DOUBLE_EQ(handBack_.ImageWidth, 591 / (150 / 25.4));
    EXPECT_EQ(Saved().size(), QSize(591, 295));
    EXPECT_EQ(Saved().dotsPerMeterX(), 5906);
}

TEST_F(PrintFillTest, OversizedPictureIsRefusedBeforeAnyFileIsMade) {
    options_.print.dpi = 4800;
    const TFillResult result = Run(Square(0, 0, 900, 900), ViewOf(0, 0, 0.5, 500, 500));
    EXPECT_EQ(result.status, TFillStatus::TooLarge);
    EXPECT_NE(result.message.find("ピクセル"), std::string::npos);
    EXPECT_NE(result.message.find("188976 × 188976"), std::string::npos) << result.message;
    EXPECT_FALSE(fs::exists(Temp()));
    EXPECT_FALSE(fs::exists(Temp().string() + ".part"));
    EXPECT_TRUE(handBack_.Empty());
    // Bad resolutions and a fill area with nothing in it are refused too.
    options_.print.dpi = 5;
    EXPECT_EQ(Run(Square(0, 0, 1, 1), ViewOf(0, 0, 1, 50, 50)).message, kBadDpiMessage);
    options_.print.dpi = 300;
    options_.print.area = TOutputArea::Fill;
    EXPECT_EQ(Run("", ViewOf(0, 0, 1, 50, 50)).message, kNothingToFillMessage);
    EXPECT_FALSE(fs::exists(Temp()));
}

TEST_F(PrintFillTest, StoppedFillLeavesNoFileAndNoResult) {
    options_.print.dpi = 600;  // 4724 x 4724 pixels: three bands
    InitStore(store_);
    ReadExchangeBytes(store_, Square(-50, -50, 50, 50));
    ResetCurrentAttributes(store_);
    TFillSession session{store_, attributes_, ViewOf(-100, -100, 2, 400, 400), dir_ / "program"};
    int calls = 0;
    session.progress = [&](double done) {
        EXPECT_GT(done, 0.0);
        EXPECT_LT(done, 1.0);
        return ++calls == 1;
    };
    const TFillResult result = RunFillCommand(options_, session, handBack_);
    EXPECT_EQ(result.status, TFillStatus::Cancelled);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(handBack_.Empty());
    EXPECT_TRUE(result.picture.isNull());
    EXPECT_FALSE(fs::exists(Temp()));
    EXPECT_FALSE(fs::exists(Temp().string() + ".part"));
}

TEST_F(PrintFillTest, NeighbouringFillsAtDifferentZoomsMeetWithoutASeam) {
    options_.print.dpi = 300;
    options_.print.area = TOutputArea::Fill;
    options_.print.tileWidthMm = 4.0;
    options_.print.tileAngleDeg = 15.0;
    const double k = 300 / 25.4;
    struct Picture {
        QImage image;
        int64_t left, top;  // paper pixel of the picture's top-left pixel
    };
    auto fill = [&](const std::string& exchange, const TViewState& view) {
        const TFillResult result = Run(exchange, view);
        EXPECT_TRUE(result.Ok()) << result.message;
        const QImage image = Saved();
        const int64_t left = std::llround(handBack_.ImageOriginX * k);
        const int64_t top = std::llround(handBack_.ImageOriginY * k) + image.height();
        return Picture{image, left, top};
    };
    // Two squares sharing the edge x = 0, filled apart at two zooms, and both at once.
    const Picture a = fill(Square(-20, 0, 0, 20), ViewOf(-60, -40, 1.3, 500, 400));
    const Picture b = fill(Square(0, 0, 20, 20), ViewOf(-5, -5, 11.0, 300, 300));
    const Picture both =
        fill(Square(-20, 0, 0, 20) + Square(0, 0, 20, 20), ViewOf(-30, -30, 4.0, 600, 600));
    auto at = [](const Picture& p, int64_t x, int64_t y) {
        return p.image.pixel(static_cast<int>(x - p.left), static_cast<int>(p.top - 1 - y));
    };
    int compared = 0;
    for (int64_t y = 2; static_cast<double>(y) < 20 * k - 2; ++y) {
        // The last column of the left square and the first of the right one.
        EXPECT_EQ(at(a, -1, y), at(both, -1, y)) << y;
        EXPECT_EQ(at(b, 0, y), at(both, 0, y)) << y;
        ++compared;
    }
    EXPECT_GT(compared, 200);
}

}  // namespace
}  // namespace veldra
