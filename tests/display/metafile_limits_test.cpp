// Metafiles whose size or object table is crafted to cost time or memory: the work
// stays in proportion to the file, the redraw's abort poll reaches inside, and
// declared sizes are held to the picture limits.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <random>

#include "display/pictures/lowest_free_slots.h"
#include "display/pictures/metafile_emf.h"
#include "display/pictures/metafile_playback.h"
#include "display/pictures/metafile_wmf.h"
#include "display/pictures/picture_dib.h"
#include "fill/texture_fill.h"
#include "tests/display/metafile_builders.h"
#include "tests/display/render_scene.h"

namespace veldra {
namespace {

using test::EmfBuilder;
using test::WmfBuilder;

TEST(LowestFreeSlots, ChoosesAsAScanOfTheTableWouldInFewSteps) {
    std::mt19937 random(5);
    for (int size : {1, 2, 7, 50}) {
        TLowestFreeSlots table(size);
        std::vector<bool> used(static_cast<size_t>(size), false);
        for (int op = 0; op < 2000; ++op) {
            if (random() % 3 != 0) {
                int expected = -1;
                for (int i = 0; i < size && expected < 0; ++i)
                    if (!used[static_cast<size_t>(i)]) expected = i;
                ASSERT_EQ(table.Take(), expected) << "size " << size << " op " << op;
                if (expected >= 0) used[static_cast<size_t>(expected)] = true;
            } else {
                const int slot = static_cast<int>(random() % (size + 2)) - 1;  // also -1, size
                table.Free(slot);
                if (slot >= 0 && slot < size) used[static_cast<size_t>(slot)] = false;
            }
        }
    }
    // A full table of 65,535 slots with frees and takes spread over it: each costs
    // about the heap's depth, never a scan.
    TLowestFreeSlots big(65535);
    for (int i = 0; i < 65535; ++i) big.Take();
    const int64_t before = big.Steps();
    for (int i = 0; i < 70000; ++i) {
        big.Free(static_cast<int>(random() % 65535));
        big.Take();
    }
    EXPECT_LT(big.Steps() - before, 70000 * 2 * 20);
}

// A table of 65,535 slots and 70,000 pens, pen k of colour k: the last 4,465 find
// the table full and are dropped.
QByteArray ManyPens() {
    WmfBuilder b;
    b.Record(wmf::kSetWindowExt, {100, 100});
    for (int k = 0; k < 70000; ++k)
        b.Record(wmf::kCreatePenIndirect, {0, 0, 0, k & 0xFFFF, k >> 16});
    b.Record(wmf::kSelectObject, {65534})
        .Record(wmf::kMoveTo, {50, 0})
        .Record(wmf::kLineTo, {50, 100});
    return b.Build(false, 0, 0, 0, 0, 0, 65535);
}

TEST(MetafileLimits, AFullObjectTableCostsWorkInProportionToTheRecords) {
    const auto wmf = TWmfPicture::Parse(ManyPens());
    ASSERT_TRUE(wmf);
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TMetafilePlayback playback;
    wmf->Play(painter, QRectF(0, 0, 100, 100), &playback);
    painter.end();
    EXPECT_EQ(playback.records, 70004);
    EXPECT_FALSE(playback.aborted);
    // A scan of the table at every create would be about 4e9 steps.
    EXPECT_LT(playback.work, 70004 * 8);
    EXPECT_EQ(image.pixel(50, 50), qRgb(0xFE, 0xFF, 0x00));  // pen 65534 in the last slot
}

// A WMF of `idle` records that draw nothing, then one red rectangle over the frame.
QByteArray LongIdleThenRed(int idle) {
    WmfBuilder b;
    b.Record(wmf::kSetWindowExt, {100, 100});
    for (int k = 0; k < idle; ++k) b.Record(wmf::kSetBkMode, {1});
    b.Record(wmf::kCreateBrushIndirect, {0, 0x00FF, 0, 0})
        .Record(wmf::kSelectObject, {0})
        .Record(wmf::kRectangle, {100, 100, 0, 0});
    return b.Build(true, 0, 0, 100, 100, 96);
}

TEST(MetafileLimits, TheAbortPollReachesInsideLongMetafiles) {
    const auto wmf = TWmfPicture::Parse(LongIdleThenRed(50000));
    ASSERT_TRUE(wmf);
    int polls = 0;
    const AbortPoll stop = [&polls] { return ++polls >= 1; };
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    TMetafilePlayback playback;
    playback.abort = &stop;
    wmf->Play(painter, QRectF(0, 0, 10, 10), &playback);
    EXPECT_TRUE(playback.aborted);
    EXPECT_EQ(polls, 1);
    EXPECT_LE(playback.records, kMetafilePollWork);

    // In the redraw: the picture placed by a text stops part-way, so the red
    // rectangle at its end is never drawn, and the pass reports that it stopped.
    QTemporaryDir dir;
    QFile file(dir.filePath("long.wmf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(LongIdleThenRed(50000));
    file.close();
    test::RenderScene scene;
    scene.Text(10, 10, "^@BM" + file.fileName().toStdString() + ",100");
    const AbortPoll never = [] { return false; };
    EXPECT_EQ(scene.DrawEntities(never).pixel(50, 100), qRgb(255, 0, 0));
    polls = 0;
    bool stopped = false;
    const QImage cut = scene.DrawEntities(stop, &stopped);
    EXPECT_TRUE(stopped);
    EXPECT_NE(cut.pixel(50, 100), qRgb(255, 0, 0));
}

// The header of `emf` with the description (count of UTF-16 characters, offset)
// patched in.
QByteArray WithDescription(QByteArray emf, uint32_t chars, uint32_t offset) {
    for (int i = 0; i < 4; ++i) {
        emf[60 + i] = static_cast<char>((chars >> (8 * i)) & 0xFF);
        emf[64 + i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
    }
    return emf;
}

TEST(MetafileLimits, AHeaderPointingPastItsDataDrawsNothing) {
    const QByteArray crafted = WithDescription(EmfBuilder().Build(99, 49, 2645, 1322), 8, 108);
    ASSERT_EQ(crafted.size(), 108);
    const auto emf = TEmfPicture::Parse(crafted);
    ASSERT_TRUE(emf);  // the description is not needed to draw
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    emf->Play(painter, QRectF(0, 0, 100, 50));
    painter.end();
    QImage white(100, 50, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(image, white);
    // A header record shorter than the header's fields is no metafile.
    QByteArray shortHeader = crafted;
    shortHeader[4] = 80;
    EXPECT_FALSE(TEmfPicture::Parse(shortHeader));
}

TEST(MetafileLimits, ADeclaredSizeBeyondThePixelLimitIsRefusedAsTexture) {
    // 132 bytes declaring a frame of 60000 x 60000 pixels at 96 dots per inch.
    EmfBuilder b;
    b.Record(emf::kRectangle, {0, 0, 60000, 60000});  // white inside a black outline
    const QByteArray huge = b.Build(59999, 59999, 1587500, 1587500);
    ASSERT_EQ(huge.size(), 132);
    const auto emf = TEmfPicture::Parse(huge);
    ASSERT_TRUE(emf);
    EXPECT_EQ(emf->Width(), 60000);
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.emf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(huge);
    file.close();
    EXPECT_TRUE(LoadTexturePicture(path.toStdString()).isNull());

    // Placed in a drawing it is drawn into its frame on the canvas as any picture:
    // the outline of a 100 x 100 frame.
    test::RenderScene scene;
    scene.Text(10, 10, "^@BM" + path.toStdString() + ",100");
    const int64_t inked = test::InkedPixels(scene.DrawEntities());
    EXPECT_GT(inked, 150);  // its far edges lie on the frame's border, outside
    EXPECT_LT(inked, 500);
}

TEST(MetafileLimits, AnEmbeddedBitmapMustHoldThePixelsItDeclares) {
    // An info header declaring 8000 x 8000 pixels, then `data` bytes.
    const auto dib = [](int bits, int compression, int data) {
        QByteArray d;
        for (uint32_t v : {40u, 8000u, 8000u, 1u | (static_cast<uint32_t>(bits) << 16),
                           static_cast<uint32_t>(compression), 0u, 0u, 0u, 0u, 0u})
            WmfBuilder::Put32(d, v);
        if (bits <= 8) d.append(QByteArray(4 << bits, '\0'));  // colour table
        d.append(QByteArray(data, '\x11'));
        return d;
    };
    for (const QByteArray& d : {dib(24, 0, 16), dib(1, 0, 7999 * 1000), dib(8, 1, 10)})
        EXPECT_TRUE(DecodePackedDib(reinterpret_cast<const unsigned char*>(d.constData()),
                                    static_cast<size_t>(d.size()))
                        .isNull());
    // Exactly enough for a 1-bit picture: 1000 bytes a row.
    const QByteArray whole = dib(1, 0, 8000 * 1000);
    EXPECT_EQ(DecodePackedDib(reinterpret_cast<const unsigned char*>(whole.constData()),
                              static_cast<size_t>(whole.size()))
                  .size(),
              QSize(8000, 8000));
}

}  // namespace
}  // namespace veldra
