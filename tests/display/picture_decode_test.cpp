#include "display/pictures/picture_decode.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#ifndef _WIN32
#include <sys/stat.h>  // mkfifo
#endif

#include "tests/exchange/host_stand_in.h"
#include "tests/posix_only.h"

namespace veldra {
namespace {

class PictureDecodeTest : public ::testing::Test {
  protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QString WriteImage(const QString& name, const char* format, int w = 6, int h = 4) const {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(qRgb(10, 20, 30));
        image.setPixel(0, 0, qRgb(255, 0, 0));
        EXPECT_TRUE(image.save(Path(name), format));
        return Path(name);
    }
    QString WriteBytes(const QString& name, const QByteArray& bytes) const {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Path(name);
    }
    QTemporaryDir dir_;
};

TEST(PictureFormat, ExtensionsAreComparedInUpperCase) {
    EXPECT_EQ(PictureFormatOf("a.bmp"), TPictureFormat::Bitmap);
    EXPECT_EQ(PictureFormatOf("C:\\x\\A.Wmf"), TPictureFormat::Metafile);
    EXPECT_EQ(PictureFormatOf("a.emf"), TPictureFormat::EnhancedMetafile);
    EXPECT_EQ(PictureFormatOf("a.ico"), TPictureFormat::Icon);
    for (const char* p :
         {"a.png", "a.TIF", "a.tiff", "a.jpg", "a.jpe", "a.JPEG", "a.gif", "a.pcx", "a.fpx"})
        EXPECT_EQ(PictureFormatOf(p), TPictureFormat::Converted) << p;
    EXPECT_EQ(PictureFormatOf("a.txt"), TPictureFormat::Other);
    EXPECT_EQ(PictureFormatOf("noextension"), TPictureFormat::Other);
    EXPECT_EQ(PictureFormatOf("dir.bmp\\file"), TPictureFormat::Other);
    // "表" is 0x95 0x5C: its trail byte is a backslash that must not end the folder.
    EXPECT_EQ(PictureFormatOf("\x95\x5C.bmp"), TPictureFormat::Bitmap);
    EXPECT_EQ(PictureFormatOf("a\x95\x5C"), TPictureFormat::Other);
}

TEST_F(PictureDecodeTest, ReadsBitmapsAndIcons) {
    const auto bmp = DecodePictureFile(WriteImage("a.bmp", "BMP"), TPictureFormat::Bitmap);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->Width(), 6);
    EXPECT_EQ(bmp->Height(), 4);
    EXPECT_EQ(bmp->Raster().pixel(0, 0), qRgb(255, 0, 0));
    const auto ico = DecodePictureFile(WriteImage("a.ico", "ICO", 16, 16), TPictureFormat::Icon);
    ASSERT_TRUE(ico);
    EXPECT_EQ(ico->Width(), 16);
}

TEST_F(PictureDecodeTest, TheExtensionFixesTheFormat) {
    // PNG content under a bitmap name is not a bitmap.
    EXPECT_FALSE(DecodePictureFile(WriteImage("png.bmp", "PNG"), TPictureFormat::Bitmap));
    EXPECT_FALSE(DecodePictureFile(WriteImage("b.bmp", "BMP"), TPictureFormat::Converted));
}

TEST_F(PictureDecodeTest, BadFilesGiveNoPicture) {
    EXPECT_FALSE(DecodePictureFile(Path("missing.bmp"), TPictureFormat::Bitmap));
    QDir(dir_.path()).mkdir("folder.bmp");
    EXPECT_FALSE(DecodePictureFile(Path("folder.bmp"), TPictureFormat::Bitmap));
    EXPECT_FALSE(DecodePictureFile(WriteBytes("text.bmp", "hello"), TPictureFormat::Bitmap));
    EXPECT_FALSE(DecodePictureFile(WriteBytes("empty.wmf", ""), TPictureFormat::Metafile));
    EXPECT_FALSE(
        DecodePictureFile(WriteBytes("text.emf", "hello"), TPictureFormat::EnhancedMetafile));
    // A bitmap header declaring 100000 x 100000 pixels is refused before decoding.
    QFile good(WriteImage("small.bmp", "BMP"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    QByteArray huge = good.readAll();
    for (int i = 0; i < 2; ++i) {
        const uint32_t v = 100000;
        for (int k = 0; k < 4; ++k) huge[18 + 4 * i + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    }
    EXPECT_FALSE(DecodePictureFile(WriteBytes("huge.bmp", huge), TPictureFormat::Bitmap));
    // Truncated bitmaps: whatever Qt makes of them, nothing crashes.
    for (int n : {2, 14, 30, 54, 60})
        DecodePictureFile(WriteBytes("cut.bmp", huge.left(n)), TPictureFormat::Bitmap);
}

TEST_F(PictureDecodeTest, ShiftJisPathsAndBackslashes) {
    // "図" is 0x90 0x7D in Shift-JIS.
    const QString file = WriteImage(QString::fromUtf8("図.bmp"), "BMP");
    const QString sjis = dir_.path() + "/";
    std::string bytes = sjis.toStdString() + "\x90\x7D.bmp";
    EXPECT_EQ(PictureFilePath(bytes), file);
    QDir(dir_.path()).mkdir("sub");
    const QString inSub = WriteImage("sub/b.bmp", "BMP");
#ifdef _WIN32
    // The backslash is a separator here: the path exists as written.
    EXPECT_EQ(
        QFileInfo(PictureFilePath(dir_.path().toStdString() + "/sub\\b.bmp")).canonicalFilePath(),
        QFileInfo(inSub).canonicalFilePath());
#else
    EXPECT_EQ(PictureFilePath(dir_.path().toStdString() + "/sub\\b.bmp"), inSub);
#endif
    // A path that does not exist either way stays as written.
    EXPECT_EQ(PictureFilePath("no\\such.bmp"), QString("no\\such.bmp"));
}

TEST_F(PictureDecodeTest, CacheReadsEachFileOnceAndRemembersFailures) {
    const QString file = WriteImage("c.bmp", "BMP");
    TPictureCache cache;
    const auto first = cache.Load(file, TPictureFormat::Bitmap);
    ASSERT_TRUE(first);
    QFile::remove(file);
    EXPECT_EQ(cache.Load(file, TPictureFormat::Bitmap), first);
    EXPECT_FALSE(cache.Load(Path("gone.bmp"), TPictureFormat::Bitmap));
    EXPECT_EQ(cache.Size(), 2u);
    cache.Clear();
    EXPECT_FALSE(cache.Load(file, TPictureFormat::Bitmap));
}

// Pictures of the selection under a FIFO's or device's name draw nothing and never
// block the redraw.
#ifndef _WIN32
TEST_F(PictureDecodeTest, FifoAndDevicePicturesAreRefusedWithoutWaiting) {
    const std::filesystem::path folder = NativeFilePath(dir_.path());
    for (const char* name : {"fifo.bmp", "fifo.wmf", "fifo.emf", "fifo.ico"})
        ASSERT_EQ(::mkfifo((folder / name).c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder / "zero.emf");
    EXPECT_EQ(test::ExitCodeInChild([&] {
                  bool refused = true;
                  for (auto [name, format] : {std::pair{"fifo.bmp", TPictureFormat::Bitmap},
                                              {"fifo.wmf", TPictureFormat::Metafile},
                                              {"fifo.emf", TPictureFormat::EnhancedMetafile},
                                              {"fifo.ico", TPictureFormat::Icon},
                                              {"zero.emf", TPictureFormat::EnhancedMetafile}})
                      refused =
                          refused && !DecodePictureFile(Path(QString::fromLatin1(name)), format);
                  return refused ? 0 : 1;
              }),
              0);
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(PictureDecodeTest, FifoAndDevicePicturesAreRefusedWithoutWaiting,
                            "needs a FIFO, /dev/zero and fork")
#endif

}  // namespace
}  // namespace veldra
