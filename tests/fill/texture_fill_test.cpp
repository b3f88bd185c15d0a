#include "fill/texture_fill.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>  // mkfifo
#endif

#include <QByteArray>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>

#include "common/code_page_932.h"
#include "display/canvas/canvas.h"
#include "display/pictures/picture_limits.h"
#include "fill/fill_reference.h"

#include "tests/exchange/host_stand_in.h"
#include "tests/posix_only.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

constexpr int kSize = 64;
constexpr QRgb kWhite = 0xFFFFFFFF;

// A view of one view unit per pixel with its origin at the canvas's bottom-left corner.
TViewState PixelView() {
    TViewState view;
    view.viewLeft = 0;
    view.viewBottom = 0;
    view.viewRight = kSize;
    view.viewTop = kSize;
    view.viewScale = 1;
    view.viewWidth = kSize;
    view.viewHeight = kSize;
    return view;
}

// A closed polygon given in canvas pixels (y down).
TAryRealPoint PixelRect(double left, double top, double right, double bottom) {
    auto p = [](double x, double y) { return TRealPoint{x, kSize - y}; };
    return {p(left, top), p(right, top), p(right, bottom), p(left, bottom), p(left, top)};
}

TAryRealPoint PixelCircle(double cx, double cy, double r) {
    TAryRealPoint polygon;
    for (int i = 0; i <= 360; ++i) {
        double a = i * 3.14159265358979 / 180;
        polygon.push_back({cx + r * std::cos(a), kSize - (cy + r * std::sin(a))});
    }
    return polygon;
}

// 4 x 4 texture whose every pixel has its own colour.
QImage CodedTexture() {
    QImage texture(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) texture.setPixel(x, y, qRgb(40 + x * 50, 40 + y * 50, 7));
    }
    return texture;
}

QImage Fill(const TAr2RealPoint& regions, double magnification,
            const QImage& texture = CodedTexture()) {
    TCanvas canvas(kSize, kSize);
    FillRegionsWithTexture(canvas, regions, PixelView(), texture, magnification);
    return canvas.Image().copy();
}

TEST(TextureFillTest, EvenOddLeavesInnerRegionsAsHoles) {
    QImage two = Fill({PixelCircle(32, 32, 28), PixelCircle(32, 32, 12)}, 1);
    EXPECT_NE(two.pixel(32 + 20, 32), kWhite);  // ring
    EXPECT_EQ(two.pixel(32, 32), kWhite);       // inner disc stays empty
    EXPECT_EQ(two.pixel(32 + 5, 32 - 5), kWhite);
    EXPECT_EQ(two.pixel(1, 1), kWhite);  // outside

    QImage three =
        Fill({PixelCircle(32, 32, 28), PixelCircle(32, 32, 16), PixelCircle(32, 32, 6)}, 1);
    EXPECT_NE(three.pixel(32 + 22, 32), kWhite);  // outer ring
    EXPECT_EQ(three.pixel(32 + 11, 32), kWhite);  // middle ring
    EXPECT_NE(three.pixel(32, 32), kWhite);       // centre disc

    // Two overlapping squares: the overlap is covered twice and stays empty, whatever
    // the direction in which each loop runs.
    TAryRealPoint reversed = PixelRect(20, 20, 50, 50);
    std::reverse(reversed.begin(), reversed.end());
    QImage overlap = Fill({PixelRect(5, 5, 35, 35), reversed}, 1);
    EXPECT_NE(overlap.pixel(10, 10), kWhite);
    EXPECT_EQ(overlap.pixel(27, 27), kWhite);
    EXPECT_NE(overlap.pixel(45, 45), kWhite);
}

// The tiles start at the canvas's top-left pixel and are scaled uniformly, whatever
// the position of the region: pixel (x, y) shows texture pixel (x / m, y / m) mod 4.
TEST(TextureFillTest, TilesAnchoredAtCanvasOriginAndScaledByMagnification) {
    const QImage texture = CodedTexture();
    for (double m : {1.0, 2.0, 0.5, 3.0}) {
        SCOPED_TRACE(m);
        QImage filled = Fill({PixelRect(13, 9, 57, 61)}, m);
        for (int y = 9; y < 61; ++y) {
            for (int x = 13; x < 57; ++x) {
                int tx = static_cast<int>(std::floor(x / m)) % 4;
                int ty = static_cast<int>(std::floor(y / m)) % 4;
                ASSERT_EQ(filled.pixel(x, y), texture.pixel(tx, ty)) << x << "," << y;
            }
        }
        EXPECT_EQ(filled.pixel(12, 30), kWhite);
        EXPECT_EQ(filled.pixel(57, 30), kWhite);
    }
    // A region elsewhere shows the same pixels where both cover the canvas.
    QImage a = Fill({PixelRect(0, 0, 40, 40)}, 2);
    QImage b = Fill({PixelRect(20, 20, 64, 64)}, 2);
    EXPECT_EQ(a.copy(20, 20, 20, 20), b.copy(20, 20, 20, 20));
}

TEST(TextureFillTest, EdgesAreNotAntialiased) {
    QImage texture(1, 1, QImage::Format_RGB32);
    texture.fill(qRgb(0, 0, 0));
    QImage filled = Fill({PixelCircle(32, 32, 20.3)}, 1, texture);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            QRgb c = filled.pixel(x, y);
            ASSERT_TRUE(c == kWhite || c == qRgb(0, 0, 0)) << x << "," << y;
        }
    }
}

TEST(TextureFillTest, RegionsPartlyOrFarOffTheCanvas) {
    QImage partly = Fill({PixelRect(-40, 10, 20, 30)}, 1);
    EXPECT_NE(partly.pixel(0, 20), kWhite);
    EXPECT_NE(partly.pixel(19, 20), kWhite);
    EXPECT_EQ(partly.pixel(20, 20), kWhite);

    // A huge region around the canvas covers all of it; a huge one beside it nothing.
    QImage around = Fill({PixelRect(-1e9, -1e9, 1e9, 1e9)}, 1);
    QImage beside = Fill({PixelRect(1e9, 0, 2e9, 1e9)}, 1);
    for (int y = 0; y < kSize; y += 7) {
        for (int x = 0; x < kSize; x += 7) {
            EXPECT_NE(around.pixel(x, y), kWhite);
            EXPECT_EQ(beside.pixel(x, y), kWhite);
        }
    }
}

TEST(TextureFillTest, DegenerateInputPaintsNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QImage blank(kSize, kSize, QImage::Format_RGB32);
    blank.fill(kWhite);
    EXPECT_EQ(Fill({}, 1), blank);
    EXPECT_EQ(Fill({{}, {TRealPoint{3, 3}}}, 1), blank);
    TAryRealPoint broken = PixelRect(0, 0, 64, 64);
    broken[2].X = nan;
    EXPECT_EQ(Fill({broken}, 1), blank);
    // The good region next to a broken one is still painted.
    EXPECT_NE(Fill({broken, PixelRect(0, 0, 10, 10)}, 1).pixel(5, 5), kWhite);
    // A magnification that makes no sense counts as 1.
    EXPECT_EQ(Fill({PixelRect(0, 0, 64, 64)}, 0), Fill({PixelRect(0, 0, 64, 64)}, 1));
    EXPECT_EQ(Fill({PixelRect(0, 0, 64, 64)}, nan), Fill({PixelRect(0, 0, 64, 64)}, 1));
}

TEST(TextureFillTest, PathFollowsTheUnroundedViewTransform) {
    TViewState view = PixelView();
    view.viewLeft = 10;
    view.viewBottom = -5;
    view.viewScale = 2.5;
    view.viewHeight = 100;
    QPainterPath path = BuildRegionPath({{{10.1, -5}, {20, 30}, {10.1, 30}, {10.1, -5}}}, view);
    ASSERT_EQ(path.elementCount(), 4);  // move and three lines, back at the start
    EXPECT_NEAR(path.elementAt(0).x, 0.25, 1e-9);
    EXPECT_NEAR(path.elementAt(0).y, 100, 1e-9);
    EXPECT_NEAR(path.elementAt(1).x, 25, 1e-9);
    EXPECT_NEAR(path.elementAt(1).y, 12.5, 1e-9);
    EXPECT_EQ(path.fillRule(), Qt::OddEvenFill);
}

class TexturePictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("veldra-texture-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(TexturePictureTest, DecodesEveryRasterFormatByContent) {
    QImage source = CodedTexture().scaled(8, 6);
    struct Format {
        const char* name;
        const char* file;
        bool lossless;
    } formats[] = {{"bmp", "t.bmp", true},          {"png", "t.png", true},
                   {"tiff", "t.tif", true},         {"webp", "t.webp", false},
                   {"jpeg", "t.jpg", false},        {"ico", "t.ico", true},
                   {"png", "テクスチャ.png", true}, {"png", "png-named.bmp", true}};
    for (const Format& f : formats) {
        SCOPED_TRACE(f.file);
#ifdef _WIN32
        // TIFF and WebP come with Qt's separate image-formats module, not in the Windows build.
        if (!QImageWriter::supportedImageFormats().contains(f.name)) continue;
#endif
        fs::path file = dir_ / fs::u8path(f.file);
        QImageWriter writer(QString::fromStdU16String(Utf16FromPath(file)), f.name);
        ASSERT_TRUE(writer.write(source)) << writer.errorString().toStdString();
        QImage loaded = LoadTexturePicture(file);
        ASSERT_EQ(loaded.size(), source.size());
        if (f.lossless) {
            EXPECT_EQ(loaded.pixel(5, 3) | 0xFF000000u, source.pixel(5, 3));
        }
    }
    // Qt writes no GIF: one red pixel by hand (colour table red, black; LZW clear, 0, end).
    const char gif[] =
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00"
        ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
    std::ofstream(dir_ / "t.gif", std::ios::binary).write(gif, sizeof gif - 1);
    QImage loaded = LoadTexturePicture(dir_ / "t.gif");
    ASSERT_EQ(loaded.size(), QSize(1, 1));
    EXPECT_EQ(loaded.pixel(0, 0), qRgb(255, 0, 0));
}

// A placeable Windows metafile of 40 x 30 pixels with one red rectangle.
QByteArray SmallMetafile() {
    QByteArray b;
    auto u16 = [&b](uint32_t v) {
        b.append(static_cast<char>(v & 0xFF));
        b.append(static_cast<char>((v >> 8) & 0xFF));
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    u32(0x9AC6CDD7);
    u16(0);
    u16(0), u16(0), u16(40), u16(30);  // frame
    u16(96);                           // units per inch: one unit is one pixel
    u32(0);
    int checksum = 0;
    for (int i = 0; i < 20; i += 2) {
        checksum ^= static_cast<uchar>(b[i]) | (static_cast<uchar>(b[i + 1]) << 8);
    }
    u16(checksum);
    const int records = 7 + 4 + 7 + 3;
    u16(1), u16(9), u16(0x0300), u32(9 + records), u16(1), u32(7), u16(0);
    u32(7), u16(0x02FC), u16(0), u32(0x000000FF), u16(0);   // solid red brush
    u32(4), u16(0x012D), u16(0);                            // select it
    u32(7), u16(0x041B), u16(30), u16(40), u16(0), u16(0);  // rectangle over the frame
    u32(3), u16(0);                                         // end
    return b;
}

TEST_F(TexturePictureTest, DecodesMetafilesAndRefusesWhatIsNoPicture) {
    QByteArray wmf = SmallMetafile();
    std::ofstream(dir_ / "t.wmf", std::ios::binary).write(wmf.constData(), wmf.size());
    QImage metafile = LoadTexturePicture(dir_ / "t.wmf");
    ASSERT_FALSE(metafile.isNull());
    EXPECT_EQ(metafile.size(), QSize(40, 30));
    EXPECT_EQ(metafile.pixel(20, 15), qRgb(255, 0, 0));

    std::ofstream(dir_ / "junk.bmp") << "this is no picture";
    test::WriteBytes(dir_ / "empty.jpg", "");
    EXPECT_TRUE(LoadTexturePicture(dir_ / "junk.bmp").isNull());
    EXPECT_TRUE(LoadTexturePicture(dir_ / "empty.jpg").isNull());
    EXPECT_TRUE(LoadTexturePicture(dir_ / "missing.png").isNull());
    EXPECT_TRUE(LoadTexturePicture(dir_).isNull());

    // The fill reports it and leaves the canvas as it was.
    TCanvas canvas(kSize, kSize);
    QImage before = canvas.Image().copy();
    EXPECT_EQ(FillRegions(canvas, {PixelRect(0, 0, 64, 64)}, PixelView(), dir_ / "junk.bmp", 1),
              TTextureFillResult::PictureUnreadable);
    EXPECT_EQ(canvas.Image(), before);
    QImage texture(2, 2, QImage::Format_RGB32);
    texture.fill(qRgb(1, 2, 3));
    texture.save(QString::fromStdU16String(Utf16FromPath(dir_ / "ok.png")));
    EXPECT_EQ(FillRegions(canvas, {PixelRect(0, 0, 64, 64)}, PixelView(), dir_ / "ok.png", 1),
              TTextureFillResult::Filled);
    EXPECT_EQ(canvas.Image().pixel(30, 30), qRgb(1, 2, 3));
}

// A texture that is a FIFO or a device is refused at once: a FIFO without a writer
// would hold the fill command (and the preview) for ever, /dev/zero never ends.
#ifndef _WIN32
TEST_F(TexturePictureTest, FifoAndDeviceTexturesAreRefusedWithoutWaiting) {
    const fs::path fifo = dir_ / "fifo.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir_ / "zero.bmp");
    EXPECT_EQ(test::ExitCodeInChild([&] {
                  const bool refused = LoadTexturePicture(fifo).isNull() &&
                                       LoadTexturePicture(dir_ / "zero.bmp").isNull();
                  return refused ? 0 : 1;
              }),
              0);
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(TexturePictureTest, FifoAndDeviceTexturesAreRefusedWithoutWaiting,
                            "needs a FIFO, /dev/zero and fork")
#endif

// A bitmap file of a few bytes that declares 4-bit rows of 4 x 16,645,889 pixels
// (66.6 million), top-down, with one row of data.
std::string HugeDeclaredBitmap() {
    std::string b;
    auto u16 = [&b](uint32_t v) {
        b += static_cast<char>(v & 0xFF);
        b += static_cast<char>((v >> 8) & 0xFF);
    };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    b += "BM";
    u32(14 + 40 + 8 + 4), u32(0), u32(14 + 40 + 8);
    u32(40), u32(4), u32(static_cast<uint32_t>(-16'645'889)), u16(1), u16(4);
    u32(0), u32(0), u32(0), u32(0), u32(2), u32(0);
    u32(0x00000000), u32(0x00FFFFFF);  // black, white
    u32(0x01100110);
    return b;
}

TEST_F(TexturePictureTest, RefusesPicturesBeyondThePixelLimit) {
    // Qt's allocation limit is one for the whole process, and decoding the drawing's
    // pictures raises it to theirs: the texture must not depend on it.
    const int qtLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(kPictureAllocationLimitMb);
    const std::string bitmap = HugeDeclaredBitmap();
    test::WriteBytes(dir_ / "huge.bmp", bitmap);
    EXPECT_TRUE(LoadTexturePicture(dir_ / "huge.bmp").isNull());
    TCanvas canvas(kSize, kSize);
    const QImage before = canvas.Image().copy();
    EXPECT_EQ(FillRegions(canvas, {PixelRect(0, 0, 64, 64)}, PixelView(), dir_ / "huge.bmp", 1),
              TTextureFillResult::PictureUnreadable);
    EXPECT_EQ(canvas.Image(), before);

    // The same bitmap 4 x 9 pixels high is an ordinary texture.
    std::string small = bitmap;
    small[22] = static_cast<char>(0xF7),
    small[23] = small[24] = small[25] = static_cast<char>(0xFF);
    test::WriteBytes(dir_ / "small.bmp", small);
    EXPECT_EQ(LoadTexturePicture(dir_ / "small.bmp").size(), QSize(4, 9));
    QImageReader::setAllocationLimit(qtLimit);
}

// The sampled fill as it was first written, one pixel at a time: the reference the
// faster fill must match pixel for pixel.
void ReferenceSampledFill(QImage& image, const QPainterPath& path, const QImage& texture,
                          const QTransform& brush, int32_t firstRow) {
    const double det = brush.m11() * brush.m22() - brush.m12() * brush.m21();
    const double i11 = brush.m22() / det, i21 = -brush.m21() / det;
    const double i12 = -brush.m12() / det, i22 = brush.m11() / det;
    const double ox = brush.dx(), oy = brush.dy();
    QImage mask(image.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter p(&mask);
        if (firstRow != 0) p.translate(0, -firstRow);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(path);
    }
    const QImage tiles = texture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    auto wrap = [](double t, int64_t n) {
        const double f = std::floor(t);
        if (!(std::fabs(f) < 9e15)) return int64_t{0};
        int64_t i = static_cast<int64_t>(f) % n;
        return i < 0 ? i + n : i;
    };
    for (int y = 0; y < image.height(); ++y) {
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double cy = (static_cast<double>(firstRow) + y - oy) + 0.5;
        for (int x = 0; x < image.width(); ++x) {
            if (mask.constScanLine(y)[x] == 0) continue;
            const double cx = (x - ox) + 0.5;
            const QRgb t = reinterpret_cast<const QRgb*>(tiles.constScanLine(static_cast<int>(wrap(
                i22 * cy + i12 * cx, tiles.height()))))[wrap(i21 * cy + i11 * cx, tiles.width())];
            const int a = qAlpha(t);
            if (a == 255) {
                dst[x] = t;
            } else if (a != 0) {
                const QRgb d = dst[x];
                auto over = [a](int s, int b) { return s + (b * (255 - a) + 127) / 255; };
                dst[x] = qRgb(over(qRed(t), qRed(d)), over(qGreen(t), qGreen(d)),
                              over(qBlue(t), qBlue(d)));
            }
        }
    }
}

// Spans, stepped wrapping and the upright column table give exactly the pixels of the
// one-pixel-at-a-time fill: turned and upright tiles, fractional and whole origins far
// from the canvas, tiny and huge tiles, transparent texels, bands that start low.
TEST(TextureFillTest, SampledFillByRowsIsThePerPixelFillExactly) {
    QImage opaque(7, 5, QImage::Format_RGB32), clear(6, 9, QImage::Format_ARGB32);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 7; ++x) {
            if (y < 5) opaque.setPixel(x, y, qRgb(x * 30, y * 50, (x * y * 17) % 256));
            if (x < 6)
                clear.setPixel(x, y, qRgba(x * 40, y * 25, 90, (x + y) % 3 == 0 ? 0 : 128 + x));
        }
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addEllipse(QPointF(150, 170), 140.3, 120.7);
    path.addRect(QRectF(60.5, 100.25, 80.3, 70.9));
    path.addPolygon(QPolygonF({QPointF(-20, 300), QPointF(320, 290.5), QPointF(100, 340)}));
    path.closeSubpath();
    const QTransform transforms[] = {
        QTransform(2.37, 0, 0, 2.37, 0, 0),
        QTransform(1.0, 0, 0, 1.0, -3.0, 7.0),
        QTransform(0.31, 0, 0, 0.31, 12345.25, -9876.5),
        QTransform(57.3, -0.0, 0.0, 57.3, -0.5, 1000.75),
        QTransform(2.1 * std::cos(0.47), -2.1 * std::sin(0.47), 2.1 * std::sin(0.47),
                   2.1 * std::cos(0.47), 3.3, -8.1),
        QTransform(6.1e-17, -1.7, 1.7, 6.1e-17, 40, 40),
        QTransform(-1.3, 0, 0, 0.9, 17, 3),
    };
    for (const QImage& texture : {opaque, clear}) {
        for (const QTransform& brush : transforms) {
            for (int32_t firstRow : {0, 123}) {
                SCOPED_TRACE(std::to_string(brush.m11()) + " from row " + std::to_string(firstRow));
                QImage fast(301, 211, QImage::Format_RGB32), slow;
                for (int y = 0; y < fast.height(); ++y)
                    for (int x = 0; x < fast.width(); ++x)
                        fast.setPixel(x, y, qRgb(x % 256, y % 256, 77));
                slow = fast.copy();
                {
                    QPainter painter(&fast);
                    FillRegionPathSampled(painter, path, texture, brush, firstRow);
                }
                ReferenceSampledFill(slow, path, texture, brush, firstRow);
                ASSERT_TRUE(fast == slow);
            }
        }
    }
}

}  // namespace
}  // namespace veldra
