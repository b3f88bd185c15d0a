#include "fill/bmp_writer.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>  // mkfifo
#endif

#include <QImage>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fill/color_reduction.h"
#include "fill/fill_reference.h"
#include "tests/posix_only.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

uint32_t U32(const QByteArray& b, int at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uchar>(b[at + i]);
    return v;
}

// An indexed picture of width x height using `colours` colours in a diagonal pattern.
QImage Pattern(int width, int height, const QList<QRgb>& colours) {
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(colours);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, (x * 3 + y) % colours.size());
    }
    return image;
}

QList<QRgb> Colours(int count) {
    QList<QRgb> list;
    for (int i = 0; i < count; ++i) list.push_back(qRgb((i * 37) % 256, (i * 91) % 256, 255 - i));
    return list;
}

std::string HexPixels(const QImage& image) {
    std::string out;
    char buf[8];
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QRgb c = image.pixel(x, y);
            std::snprintf(buf, sizeof buf, " %02x%02x%02x", qRed(c), qGreen(c), qBlue(c));
            out += buf;
        }
    }
    return out;
}

TEST(BmpWriterTest, HeadersPaletteAndRowPaddingOfEachDepth) {
    struct Case {
        int bits;
        int colours;
        int stride;  // bytes per row for width 5
    } cases[] = {{1, 2, 4}, {4, 16, 4}, {8, 256, 8}, {24, 0, 16}, {32, 0, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        QImage image = c.bits <= 8
                           ? Pattern(5, 3, Colours(std::min(c.colours, 5)))
                           : Pattern(5, 3, Colours(5)).convertToFormat(QImage::Format_RGB32);
        QByteArray b = EncodeBmp(image, c.bits);
        ASSERT_FALSE(b.isEmpty());
        const uint32_t offset = 54 + 4 * c.colours;
        EXPECT_EQ(b.left(2), "BM");
        EXPECT_EQ(U32(b, 2), static_cast<uint32_t>(b.size()));
        EXPECT_EQ(U32(b, 10), offset);
        EXPECT_EQ(U32(b, 14), 40u);
        EXPECT_EQ(U32(b, 18), 5u);
        EXPECT_EQ(U32(b, 22), 3u);  // positive height: bottom-up
        EXPECT_EQ(static_cast<uchar>(b[28]), c.bits);
        EXPECT_EQ(U32(b, 30), 0u);  // uncompressed
        EXPECT_EQ(U32(b, 34), static_cast<uint32_t>(3 * c.stride));
        EXPECT_EQ(static_cast<uint32_t>(b.size()), offset + 3 * c.stride);
    }
    // The first pixel of the bottom row comes first; 1 bit packs from the high bit.
    QImage mono = Pattern(5, 3, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
    QByteArray b = EncodeBmp(mono, 1);
    // Bottom row y = 2: indices (x * 3 + 2) % 2 = 0 1 0 1 0.
    EXPECT_EQ(static_cast<uchar>(b[62]), 0b01010000);
}

TEST(BmpWriterTest, QtReadsBackEveryWidthAndDepthExactly) {
    for (int bits : {1, 4, 8, 24, 32}) {
        for (int width = 1; width <= 33; ++width) {
            SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
            QImage image = Pattern(width, 4, Colours(bits <= 8 ? std::min(1 << bits, 40) : 40));
            if (bits > 8) image = image.convertToFormat(QImage::Format_RGB32);
            QImage back = QImage::fromData(EncodeBmp(image, bits), "BMP");
            ASSERT_FALSE(back.isNull());
            ASSERT_EQ(back.size(), image.size());
            ASSERT_EQ(HexPixels(back), HexPixels(image));
        }
    }
}

TEST(BmpWriterTest, RefusesWhatItCannotWrite) {
    EXPECT_TRUE(EncodeBmp(QImage(), 24).isEmpty());
    EXPECT_TRUE(EncodeBmp(Pattern(4, 4, Colours(3)), 16).isEmpty());
    // 17 colours do not fit 4 bits; an RGB picture needs reducing first.
    EXPECT_TRUE(EncodeBmp(Pattern(20, 2, Colours(17)), 4).isEmpty());
    EXPECT_TRUE(EncodeBmp(QImage(4, 4, QImage::Format_RGB32), 8).isEmpty());
}

class BmpFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("veldra-bmp-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(BmpFileTest, FailureLeavesNoPartialFileAndKeepsTheOldOne) {
    QImage canvas(6, 4, QImage::Format_RGB32);
    canvas.fill(Qt::red);
    EXPECT_FALSE(SaveBmpFile(dir_ / "missing" / "out.bmp", canvas, 24));
    EXPECT_FALSE(fs::exists(dir_ / "missing"));

    std::ofstream(dir_ / "old.bmp") << "old";
    EXPECT_FALSE(SaveBmpFile(dir_ / "old.bmp", QImage(), 24));
    EXPECT_EQ(fs::file_size(dir_ / "old.bmp"), 3u);
    // A folder of that name cannot be replaced: the partial file goes away.
    fs::create_directory(dir_ / "taken.bmp");
    EXPECT_FALSE(SaveBmpFile(dir_ / "taken.bmp", canvas, 24));
    EXPECT_FALSE(fs::exists(dir_ / "taken.bmp.part"));

    EXPECT_TRUE(SaveBmpFile(dir_ / "old.bmp", canvas, 24));
    EXPECT_EQ(fs::file_size(dir_ / "old.bmp"), 54u + 4 * 20);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 2);
}

// The temporary name is new each time and created exclusively: a link planted where a
// fixed temporary name would be is never written through, and a FIFO under the
// bitmap's name is refused without blocking.
#ifndef _WIN32
TEST_F(BmpFileTest, NeverWritesThroughALinkOrIntoAFifo) {
    QImage canvas(6, 4, QImage::Format_RGB32);
    canvas.fill(Qt::red);
    std::ofstream(dir_ / "victim") << "precious";
    for (const char* planted : {"rw47_temp.BMP.part", "rw47_temp.BMP.tmp", "rw47_temp.BMP~"})
        fs::create_symlink(dir_ / "victim", dir_ / planted);
    ASSERT_TRUE(SaveBmpFile(dir_ / "rw47_temp.BMP", canvas, 24));
    EXPECT_EQ(fs::file_size(dir_ / "victim"), 8u);
    EXPECT_EQ(fs::file_size(dir_ / "rw47_temp.BMP"), 54u + 4 * 20);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 5);

    ASSERT_EQ(::mkfifo((dir_ / "fifo.bmp").c_str(), 0600), 0);
    EXPECT_FALSE(SaveBmpFile(dir_ / "fifo.bmp", canvas, 24));
    EXPECT_EQ(fs::status(dir_ / "fifo.bmp").type(), fs::file_type::fifo);
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(BmpFileTest, NeverWritesThroughALinkOrIntoAFifo,
                            "needs a FIFO and symbolic links without privileges")
#endif

// Both independent readers see the depth written and the colours of the picture as
// reduced: exact colours when they fit the depth, the dithered ones otherwise.
#ifndef _WIN32
TEST_F(BmpFileTest, PillowAndImageMagickReadBackDepthAndColours) {
    if (!fs::exists("/usr/bin/python3") || std::system("/usr/bin/python3 -c 'import PIL'") != 0 ||
        std::system("identify -version > /dev/null") != 0) {
        GTEST_SKIP() << "Pillow or ImageMagick missing (scripts/setup.sh installs them)";
    }
    // Few colours (kept exactly at every depth but 1 bit) and a grey ramp (dithered).
    QImage canvas(13, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 13; ++x) {
            canvas.setPixel(x, y,
                            y < 2 ? (x % 2 ? qRgb(200, 30, 40) : qRgb(255, 255, 255))
                                  : qRgb(x * 20, x * 20, y * 50));
        }
    }
    struct Depth {
        int bits;
        const char* rawmode;
        const char* magickDepth;
    } depths[] = {
        {1, "1", "1"}, {4, "P;4", "4"}, {8, "P", "8"}, {24, "BGR", "8"}, {32, "BGRX", "8"}};
    std::string files;
    for (const Depth& d : depths) {
        fs::path file = dir_ / std::string("d").append(std::to_string(d.bits)).append(".bmp");
        ASSERT_TRUE(SaveBmpFile(file, canvas, d.bits));
        files += " '" + file.string() + "'";
    }
    std::string command = "/usr/bin/python3 '" VELDRA_SOURCE_DIR "/tests/fill/read_bmp.py'" + files;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buf[4096];
    while (size_t n = std::fread(buf, 1, sizeof buf, pipe)) output.append(buf, n);
    ASSERT_EQ(pclose(pipe), 0) << output;

    std::istringstream lines(output);
    for (const Depth& d : depths) {
        SCOPED_TRACE(d.bits);
        const std::string expected = " 13 5" + HexPixels(ReduceColors(canvas, d.bits));
        std::string pillow, magick;
        std::getline(lines, pillow);
        std::getline(lines, magick);
        EXPECT_EQ(pillow, std::string("pillow ") + d.rawmode + expected);
        EXPECT_EQ(magick, std::string("magick ") + d.magickDepth + " False" + expected);
    }
    // 24 and 32 bits are the canvas itself.
    EXPECT_EQ(HexPixels(ReduceColors(canvas, 32)), HexPixels(canvas));
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(BmpFileTest, PillowAndImageMagickReadBackDepthAndColours,
                            "runs Pillow and ImageMagick through popen")
#endif

}  // namespace
}  // namespace veldra
