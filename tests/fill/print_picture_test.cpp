// The picture for print: its size and placement at a resolution and for both areas,
// texture tiles tied to the paper, and the picture drawn and saved in bands.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

#include "attributes/gra_attribute.h"
#include "display/pictures/picture_decode.h"
#include "exchange/exchange_reader.h"
#include "fill/bmp_writer.h"
#include "fill/color_reduction.h"
#include "fill/fill_pipeline.h"
#include "fill/output_area.h"
#include "fill/picture_bands.h"
#include "fill/texture_fill.h"
#include "tests/fill/print_test_util.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

using test::ViewOf;

// Noise, so that the reduced depths must diffuse.
QImage NoiseTexture(int w, int h) {
    QImage texture(w, h, QImage::Format_RGB32);
    uint32_t seed = 7;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            texture.setPixel(x, y,
                             qRgb(static_cast<int>(seed >> 24),
                                  static_cast<int>((seed >> 16) & 0xFF), (x * 9 + y * 5) & 0xFF));
        }
    }
    return texture;
}

TEST(OutputFrameTest, ScreenResolutionOfTheViewIsTheViewItself) {
    const TViewState view = ViewOf(-37.5, 12.25, 3.2, 640, 480);
    const TOutputFrame frame = ViewOutputFrame(view, kScreenResolution);
    EXPECT_EQ(frame.width, 640);
    EXPECT_EQ(frame.height, 480);
    EXPECT_EQ(frame.originX, view.viewLeft);
    EXPECT_EQ(frame.originY, view.viewBottom);
    EXPECT_EQ(frame.paperWidth, view.viewRight - view.viewLeft);
    EXPECT_EQ(frame.view.viewHeight, 480);
    EXPECT_EQ(frame.view.viewScale, 3.2);
}

TEST(OutputFrameTest, DpiOfTheViewRoundsEachSideToTheNearestPixel) {
    // An A3 sheet at 600 dpi: 9921.26 x 7015.75 pixels.
    TViewState a3 = ViewOf(0, 0, 2.0, 840, 594);
    TOutputFrame frame = ViewOutputFrame(a3, 600);
    EXPECT_EQ(frame.width, 9921);
    EXPECT_EQ(frame.height, 7016);
    EXPECT_DOUBLE_EQ(frame.scale, 600 / 25.4);
    EXPECT_EQ(frame.originX, 0);
    EXPECT_EQ(frame.originY, 0);
    // One scale both ways: the width on paper is the pixel width at that scale.
    EXPECT_DOUBLE_EQ(frame.paperWidth, 9921 / (600 / 25.4));
    EXPECT_DOUBLE_EQ(frame.view.viewTop, 7016 / (600 / 25.4));
    // 254 dpi is 10 pixels per mm: 12.35 mm -> 123.5 -> 124 (half away), 12.34 -> 123.
    TViewState small = ViewOf(5, -3, 1.0, 10, 10);
    small.viewRight = 5 + 12.35;
    small.viewTop = -3 + 12.34;
    frame = ViewOutputFrame(small, 254);
    EXPECT_EQ(frame.width, 124);
    EXPECT_EQ(frame.height, 123);
    EXPECT_DOUBLE_EQ(frame.paperWidth, 12.4);
    EXPECT_EQ(frame.originX, 5);
    // A window thinner than a pixel still gives one.
    small.viewRight = 5.01;
    EXPECT_EQ(ViewOutputFrame(small, 254).width, 1);
}

TEST(OutputFrameTest, FillAreaSitsOnThePaperGridWithAOnePixelMargin) {
    const TViewState view = ViewOf(-100, -100, 1.7, 300, 300);
    TPaperBox content;
    content.Add(1.23, -4.56);
    content.Add(20.01, 7.0);
    // 254 dpi, 10 px/mm: columns floor(12.3) - 1 = 11 .. ceil(200.1) + 1 = 202.
    auto frame = FillOutputFrame(view, 254, content);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 202 - 11);
    EXPECT_EQ(frame->height, (70 + 1) - (-46 - 1));
    EXPECT_DOUBLE_EQ(frame->originX, 1.1);
    EXPECT_DOUBLE_EQ(frame->originY, -4.7);
    EXPECT_DOUBLE_EQ(frame->paperWidth, 19.1);
    // At the screen's resolution the grid is the view's: a crop of the view's picture.
    frame = FillOutputFrame(view, kScreenResolution, content);
    ASSERT_TRUE(frame);
    const double l = std::floor((1.23 + 100) * 1.7) - 1, r = std::ceil((20.01 + 100) * 1.7) + 1;
    EXPECT_EQ(frame->width, static_cast<int64_t>(r - l));
    EXPECT_DOUBLE_EQ(frame->originX, -100 + l / 1.7);
    EXPECT_DOUBLE_EQ(frame->scale, 1.7);
    EXPECT_FALSE(FillOutputFrame(view, 300, TPaperBox{}));
}

TEST(OutputFrameTest, ContentIsTheRegionsAndTheSolidsUnderThem) {
    TJwwEntityStore store;
    InitStore(store);
    // A square region, a solid overlapping it, and a solid far away.
    ReadExchangeBytes(store,
                      "0 0 10 0\n10 0 10 10\n10 10 0 10\n0 10 0 0\n"
                      "lc10 255\nsl 8 8 14 8 14 12 8 12\nsl 50 50 60 50 60 60 50 60\n");
    ResetCurrentAttributes(store);
    TgraAttribute attributes;
    ConfigureAtStartup(attributes);
    TAr2RealPoint regions = {{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}};
    TPaperBox box = FillContentBox(regions, store, attributes);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.bottom, 0);
    EXPECT_EQ(box.right, 14);
    EXPECT_EQ(box.top, 12);
    // Without regions every shown solid counts.
    box = FillContentBox({}, store, attributes);
    EXPECT_EQ(box.left, 8);
    EXPECT_EQ(box.right, 60);
}

TEST(OutputFrameTest, SizeLimitMessageGivesTheSize) {
    EXPECT_FALSE(PictureSizeRefusal(9921, 7016, 24));
    EXPECT_FALSE(PictureSizeRefusal(28087, 19866, 24));  // A0 at 600 dpi
    const auto refusal = PictureSizeRefusal(120000, 50, 24);
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find("120000 × 50 ピクセル"), std::string::npos) << *refusal;
    EXPECT_TRUE(PictureSizeRefusal(30000, 30000, 8));   // 900 million pixels
    EXPECT_TRUE(PictureSizeRefusal(24000, 24000, 32));  // a file above 2 GB
    EXPECT_FALSE(PictureSizeRefusal(24000, 24000, 24));
}

TEST(PaperTilingTest, PeriodIsTileMillimetresAtTheResolutionAndPhaseZeroAtTheOrigin) {
    const QImage texture = NoiseTexture(40, 20);
    const TViewState picture = ViewOf(12.7, -3.1, 300 / 25.4, 500, 400);
    const QTransform t = PaperTilingTransform(texture, 8.0, 0.0, picture);
    // Texture pixel (0, 0) lands on the paper origin.
    const QPointF origin = t.map(QPointF(0, 0));
    EXPECT_NEAR(origin.x(), ViewToScreenX(picture, 0), 1e-9);
    EXPECT_NEAR(origin.y(), ViewToScreenY(picture, 0), 1e-9);
    // One tile (40 texture pixels) spans 8 mm x 300 / 25.4 pixels; its height goes by
    // the aspect and downwards on paper.
    EXPECT_NEAR(t.map(QPointF(40, 0)).x() - origin.x(), 8.0 * 300 / 25.4, 1e-9);
    EXPECT_NEAR(t.map(QPointF(0, 20)).y() - origin.y(), 4.0 * 300 / 25.4, 1e-9);
    // Turned by 90 degrees counter-clockwise the tile's width points up the paper.
    const QTransform turned = PaperTilingTransform(texture, 8.0, 90.0, picture);
    const QPointF up = turned.map(QPointF(40, 0)) - turned.map(QPointF(0, 0));
    EXPECT_NEAR(up.x(), 0, 1e-9);
    EXPECT_NEAR(up.y(), -8.0 * 300 / 25.4, 1e-9);
    EXPECT_TRUE(PaperTilingTransform(texture, 0.0, 0.0, picture).isIdentity());
}

TEST(PaperTilingTest, ScreenTilingOfTheViewItselfIsThePlainMagnification) {
    const TViewState view = ViewOf(-37.1, 5.3, 2.7, 333, 222);
    EXPECT_EQ(ScreenTilingTransform(1.5, view, view), QTransform::fromScale(1.5, 1.5));
    // At 3x the pixels, the tiles are 3x as large and anchored at the view's corner.
    TViewState finer = ViewOf(-37.1, 5.3, 8.1, 999, 666);
    const QTransform t = ScreenTilingTransform(2.0, view, finer);
    EXPECT_NEAR(t.m11(), 6.0, 1e-12);
    EXPECT_NEAR(t.dx(), 0.0, 1e-9);
    EXPECT_NEAR(t.dy(), 0.0, 1e-9);
}

// A scene of regions, solids and a texture, drawn into a picture of its own view.
class BandedPictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("veldra-bands-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // A bitmap and an icon with transparency placed under the regions.
        const QImage noise = NoiseTexture(13, 9);
        noise.save(QString::fromStdString((dir_ / "under.bmp").string()), "BMP");
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        for (int i = 0; i < 16; ++i) icon.setPixel(i, i, qRgba(0, 0, 255, 255));
        icon.save(QString::fromStdString((dir_ / "mark.ico").string()), "ICO");
        InitStore(store_);
        ReadExchangeBytes(store_,
                          "lc10 16711680\nsl -30 -30 10 -30 10 5 -30 5\n"
                          "lc10 65280\nsl 0 0 40 -20 35 30\n"
                          "ch -40.3 -12.7 1 0 \"^@BM" +
                              (dir_ / "under.bmp").string() +
                              ",31.7\n"
                              "ch 5.1 -39.9 1 0 \"^@BM" +
                              (dir_ / "mark.ico").string() + ",27.3\n");
        ResetCurrentAttributes(store_);
        ConfigureAtStartup(attributes_);
        regions_ = {Circle(0, 0, 38), Circle(0, 0, 15), Circle(25, 25, 12)};
    }
    void TearDown() override { fs::remove_all(dir_); }

    static TAryRealPoint Circle(double cx, double cy, double r) {
        TAryRealPoint p;
        for (int i = 0; i <= 72; ++i) {
            const double a = (i % 72) * 2 * M_PI / 72;
            p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
        }
        return p;
    }

    TPictureScene Scene(const TViewState& view, const QImage& texture, const QTransform& brush) {
        return TPictureScene{store_,  attributes_, view,    BuildRegionPath(regions_, view),
                             texture, brush,       sampled, &cache_};
    }

    std::string Save(const TPictureScene& scene, int bits, int32_t rows, const char* name) {
        TBandedSave how;
        how.bitsPerPixel = bits;
        how.bandRows = rows;
        const fs::path path = dir_ / name;
        EXPECT_EQ(SaveBandedPicture(scene, path, how), TBandedSaveResult::Saved);
        return Read(path);
    }

    fs::path dir_;
    TJwwEntityStore store_;
    TgraAttribute attributes_;
    TAr2RealPoint regions_;
    TPictureCache cache_;
    bool sampled = false;
};

TEST_F(BandedPictureTest, OneBandEqualsManyBandsAtEveryDepth) {
    const TViewState picture = ViewOf(-45.3, -41.7, 300 / 25.4, 1070, 1011);
    const QImage noise = NoiseTexture(37, 23);
    QImage flat(8, 8, QImage::Format_RGB32);
    flat.fill(qRgb(32, 80, 160));
    struct Case {
        const char* what;
        QImage texture;
        QTransform brush;
    } cases[] = {
        {"noise, paper tiles turned", noise, PaperTilingTransform(noise, 3.3, 27.0, picture)},
        {"noise, screen tiles 150 %", noise, QTransform::fromScale(1.5, 1.5)},
        // Four colours in all: 1 bit diffuses, 4 and 8 bits keep them exactly.
        {"flat", flat, PaperTilingTransform(flat, 5.0, 0.0, picture)},
    };
    for (const Case& c : cases) {
        for (bool sampledTiles : {false, true}) {
            sampled = sampledTiles;
            const TPictureScene scene = Scene(picture, c.texture, c.brush);
            for (int bits : {1, 4, 8, 24, 32}) {
                SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(bits) + " bits");
                const std::string one = Save(scene, bits, picture.viewHeight, "one.bmp");
                ASSERT_GT(one.size(), 54u);
                for (int32_t rows : {3, 100, 1010}) {
                    const std::string many = Save(scene, bits, rows, "many.bmp");
                    ASSERT_EQ(one.size(), many.size()) << rows;
                    ASSERT_TRUE(one == many) << rows << " rows a band, sampled " << sampled;
                }
            }
        }
    }
}

TEST_F(BandedPictureTest, OneBandIsTheWholeCanvasEncodedAsBefore) {
    const TViewState picture = ViewOf(-50, -50, 2.0, 200, 200);
    const QImage noise = NoiseTexture(16, 16);
    const TPictureScene scene = Scene(picture, noise, QTransform::fromScale(2.0, 2.0));
    const QImage canvas = RenderPictureBand(scene, 0, picture.viewHeight);
    // The bitmap under the regions is drawn (beyond the regions and the solids).
    const TPixelPoint under = ViewToPixel(picture, -39, -11);
    EXPECT_NE(canvas.pixel(under.x, under.y), qRgb(255, 255, 255));
    for (int bits : {1, 4, 8, 24, 32}) {
        const QByteArray expected = EncodeBmp(ReduceColors(canvas, bits), bits);
        const std::string saved = Save(scene, bits, 0, "whole.bmp");
        EXPECT_TRUE(saved == expected.toStdString()) << bits;
    }
}

TEST_F(BandedPictureTest, StoppedOrFailedSaveLeavesNoFile) {
    const TViewState picture = ViewOf(-50, -50, 2.0, 200, 200);
    const TPictureScene scene = Scene(picture, NoiseTexture(8, 8), QTransform());
    const fs::path path = dir_ / "stopped.bmp";
    std::ofstream(path) << "older";
    TBandedSave how;
    how.bandRows = 50;
    int calls = 0;
    how.progress = [&](double done) {
        EXPECT_GT(done, 0.0);
        return ++calls == 2;
    };
    EXPECT_EQ(SaveBandedPicture(scene, path, how), TBandedSaveResult::Cancelled);
    EXPECT_EQ(Read(path), "older");
    EXPECT_FALSE(fs::exists(dir_ / "stopped.bmp.part"));
    how.progress = {};
    EXPECT_EQ(SaveBandedPicture(scene, dir_ / "no" / "such.bmp", how), TBandedSaveResult::Failed);
}

}  // namespace
}  // namespace veldra
