#include "fill/fill_pipeline.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <fstream>
#include <iterator>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>  // mkfifo, stat
#include <unistd.h>
#endif

#include "attributes/gra_attribute.h"
#include "common/file_system.h"
#include "exchange/exchange_reader.h"
#include "exchange/exchange_writer.h"
#include "tests/exchange/host_stand_in.h"
#include "tests/posix_only.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kTexture = 0xFF2050A0;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A 200 x 200 canvas showing view units -100..100 one to one: the view point (x, y)
// lies on the pixel (x + 100, 100 - y).
TViewState UnitView() {
    TViewState view;
    view.viewLeft = -100;
    view.viewBottom = -100;
    view.viewRight = 100;
    view.viewTop = 100;
    view.viewScale = 1;
    view.viewWidth = 200;
    view.viewHeight = 200;
    return view;
}

class FillPipelineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("veldra-fill-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "program");
        fs::create_directories(dir_ / "out");
        QImage texture(4, 4, QImage::Format_RGB32);
        texture.fill(kTexture);
        texture.save(QString::fromStdString((dir_ / "texture.png").string()));
        ConfigureAtStartup(attributes_);
        // Two concentric circles and a red square solid under the right half; a
        // rectangle of bare lines far out that is a region too.
        Load("ci 0 0 80\nci 0 0 30\nlc10 255\nsl 40 -10 60 -10 60 10 40 10\n");
        options_.texturePath = (dir_ / "texture.png").string();
        options_.outputName = (dir_ / "out" / "fill.bmp").string();
        options_.arcDivisions = 72;
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Load(const std::string& exchange) {
        InitStore(store_);
        ReadExchangeBytes(store_, exchange);
        ResetCurrentAttributes(store_);
    }
    TFillResult Run() { return RunFillCommand(options_, Session(), handBack_); }
    TFillSession Session() { return {store_, attributes_, view_, dir_ / "program"}; }
    fs::path Temp() const { return dir_ / "program" / "rw47_temp.BMP"; }
    QImage TempImage() const { return QImage(QString::fromStdString(Temp().string()), "BMP"); }

    fs::path dir_;
    TJwwEntityStore store_;
    TgraAttribute attributes_;
    TViewState view_ = UnitView();
    TFillOptions options_;
    TFillHandBack handBack_;
};

TEST_F(FillPipelineTest, FourChecksInOrderWithTheirMessages) {
    struct Case {
        std::string texture, output, message;
    } cases[] = {
        {"", "", "テクスチャ画像ファイル名の指定を行って下さい。"},
        {"missing.png", "", "指定したテクスチャ画像ファイルが見つかりません。"},
        {"", "x.jpg", "テクスチャ画像ファイル名の指定を行って下さい。"},
        {"texture.png", "", "画像ファイル名の入力／画像ファイル指定を行って下さい。"},
        {"texture.png", "out.jpg", "画像ファイル名は BMP形式のみです。"},
        {"texture.png", "out", "画像ファイル名は BMP形式のみです。"},
        {"texture.png", "dir.bmp/out", "画像ファイル名は BMP形式のみです。"},
        {"out", "out/a.bmp", "指定したテクスチャ画像ファイルが見つかりません。"},  // a folder
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.texture + " | " + c.output);
        options_.texturePath = c.texture.empty() ? "" : (dir_ / c.texture).string();
        options_.outputName = c.output;
        TFillResult result = Run();
        EXPECT_EQ(result.status, TFillStatus::CheckFailed);
        EXPECT_EQ(result.message, c.message);
        EXPECT_TRUE(handBack_.Empty());
        EXPECT_FALSE(fs::exists(Temp()));
    }
    options_.texturePath = (dir_ / "texture.png").string();
    options_.outputName = (dir_ / "out" / "upper.Bmp").string();
    EXPECT_TRUE(Run().Ok());
}

TEST_F(FillPipelineTest, ArcDivisionsAreLimitedEvenWhenACheckFails) {
    options_.texturePath.clear();
    for (auto [text, expected] :
         {std::pair{"2", 3}, {"5000", 3600}, {"abc", 3}, {"", 3}, {"24", 24}, {"-7", 3}}) {
        options_.arcDivisions = ArcDivisionsOfText(text);
        EXPECT_EQ(Run().arcDivisions, expected) << text;
    }
    // A count from another caller is limited all the same.
    options_.arcDivisions = 0;
    EXPECT_EQ(Run().arcDivisions, 3);
    options_.arcDivisions = 100000;
    EXPECT_EQ(Run().arcDivisions, 3600);
}

TEST_F(FillPipelineTest, OutputPathRule) {
    const std::string plan = "C:\\dwg\\plan.jww";
    EXPECT_EQ(OutputPathFor("out.bmp", plan), "C:\\dwg\\out.bmp");
    EXPECT_EQ(OutputPathFor("X:\\missing\\out.bmp", plan), "C:\\dwg\\out.bmp");
    EXPECT_EQ(OutputPathFor("/no/such/folder/out.bmp", "/home/u/plan.jww"), "/home/u/out.bmp");
    const std::string existing = (dir_ / "out" / "a.bmp").string();
    EXPECT_EQ(OutputPathFor(existing, plan), existing);
    // Without a drawing file a bare name stays bare (relative to the working folder).
    EXPECT_EQ(OutputPathFor("out.bmp", ""), "out.bmp");
    // The drawing file's folder is Shift-JIS: 表 ends in the byte of a backslash.
    EXPECT_EQ(OutputPathFor("out.bmp", "C:\\\x95\x5C\\plan.jww"), "C:\\表\\out.bmp");
}

TEST_F(FillPipelineTest, FillPictureHasHolesSolidsAndNoLines) {
    Load(
        "ci 0 0 80\nci 0 0 30\nlc10 255\nsl 40 -10 95 -10 95 10 40 10\n"
        "lc1\n-95 -95 95 -95\n95 -95 95 -90\n95 -90 -95 -90\n-95 -90 -95 -95\n");
    TFillResult result = Run();
    ASSERT_TRUE(result.Ok()) << result.message;
    QImage saved = TempImage();
    ASSERT_EQ(saved.size(), QSize(200, 200));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), result.picture);
    EXPECT_EQ(saved.pixel(100, 100), kWhite);                // inner disc: a hole
    EXPECT_EQ(saved.pixel(100 + 50, 100), kTexture);         // ring, over the solid
    EXPECT_EQ(saved.pixel(100 + 90, 100), qRgb(255, 0, 0));  // solid beyond the ring
    EXPECT_EQ(saved.pixel(100 - 90, 100), kWhite);           // outside everything
    // The thin strip of lines is a region and filled; the lines themselves, like the
    // circles, are not drawn (they would be black).
    EXPECT_EQ(saved.pixel(100, 192), kTexture);
    EXPECT_EQ(saved.pixel(100, 197), kWhite);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) ASSERT_NE(saved.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
    }

    EXPECT_EQ(handBack_.outputPath, options_.outputName);
    EXPECT_EQ(handBack_.ImageOriginX, -100);
    EXPECT_EQ(handBack_.ImageOriginY, -100);
    EXPECT_EQ(handBack_.ImageWidth, 200);
    EXPECT_EQ(handBack_.pictureText, "^@BM" + options_.outputName + ",200.000");
}

TEST_F(FillPipelineTest, FacesModeLooksLikeTheLoopsWhereTheyAgreeAndFillsPicks) {
    // Nine rooms of crossing lines, and two concentric circles to the side.
    std::string grid;
    for (int v : {-90, -30, 30, 90}) {
        grid += std::to_string(v) + " -90 " + std::to_string(v) + " 90\n";
        grid += "-90 " + std::to_string(v) + " 90 " + std::to_string(v) + "\n";
    }
    Load(grid);
    const TFillResult chain = Run();
    ASSERT_TRUE(chain.Ok()) << chain.message;
    EXPECT_EQ(chain.regions.filledRegions, 1u);  // the loop search sees the outline only
    options_.regions.mode = TRegionMode::Faces;
    const TFillResult faces = Run();
    ASSERT_TRUE(faces.Ok()) << faces.message;
    EXPECT_EQ(faces.regions.filledRegions, 9u);
    EXPECT_TRUE(faces.regions.openEnds.empty());
    EXPECT_EQ(faces.picture, chain.picture);

    Load("ci 0 0 80\nci 0 0 30\n");
    options_.regions.mode = TRegionMode::Chain;
    const TFillResult rings = Run();
    options_.regions.mode = TRegionMode::Faces;
    const TFillResult ringFaces = Run();
    ASSERT_TRUE(rings.Ok() && ringFaces.Ok());
    EXPECT_EQ(ringFaces.picture, rings.picture);

    // A pick in the middle room fills that room alone.
    Load(grid);
    options_.regions.faces.picks = {{0, 0}};
    const TFillResult picked = Run();
    ASSERT_TRUE(picked.Ok());
    EXPECT_EQ(picked.regions.filledRegions, 1u);
    EXPECT_EQ(picked.picture.pixel(100, 100), kTexture);
    EXPECT_EQ(picked.picture.pixel(100 - 60, 100), kWhite);
    EXPECT_EQ(picked.picture.pixel(100, 100 + 60), kWhite);

    // Escape during the build: nothing drawn, no picture left behind.
    TFillSession session = Session();
    session.abort = [] { return true; };
    const TFillResult cancelled = RunFillCommand(options_, session, handBack_);
    EXPECT_EQ(cancelled.status, TFillStatus::Cancelled);
    EXPECT_TRUE(handBack_.Empty());
    EXPECT_FALSE(fs::exists(Temp()));
}

TEST_F(FillPipelineTest, EachColourDepthAndBlackBackground) {
    attributes_.SetBackground(kBackgroundBlack);
    attributes_.BuildPenColors();
    const int bits[] = {1, 4, 8, 24, 32};
    for (int item = 0; item < 5; ++item) {
        SCOPED_TRACE(item);
        options_.bitsPerPixel = BitsPerPixelOfDepthItem(item);
        ASSERT_TRUE(Run().Ok());
        std::string file = Read(Temp());
        ASSERT_GT(file.size(), 54u);
        EXPECT_EQ(static_cast<uchar>(file[28]), bits[item]);
        QImage saved = TempImage();
        EXPECT_EQ(saved.pixel(100, 100), qRgb(0, 0, 0));
        if (item >= 2) {
            EXPECT_EQ(saved.pixel(150, 100), kTexture);
        }
    }
}

#ifndef _WIN32
TEST_F(FillPipelineTest, TemporaryBitmapIsReplacedAndRemovedOnFailure) {
    std::ofstream(Temp()) << "stale";
    // The disk fills up (a file size limit, which binds root too, in a child): the save
    // fails, the stale file is gone, no partial file is left.
    {
        test::TFileSizeLimit fullDisk(1000);
        TFillResult failed = Run();
        EXPECT_EQ(failed.status, TFillStatus::SaveFailed);
        EXPECT_FALSE(failed.message.empty());
        EXPECT_TRUE(handBack_.Empty());
        EXPECT_TRUE(failed.picture.isNull());
    }
    EXPECT_FALSE(fs::exists(Temp()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "program"), {}), 0);

    ASSERT_TRUE(Run().Ok());
    EXPECT_TRUE(fs::exists(Temp()));
    // A later failed check forgets the result: OK would hand nothing back.
    options_.outputName = "out.png";
    Run();
    EXPECT_TRUE(handBack_.Empty());
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FillPipelineTest, TemporaryBitmapIsReplacedAndRemovedOnFailure,
                            "file size limits")
#endif

TEST_F(FillPipelineTest, RefusesUnreadableTextureAndPathsTheHostCannotTake) {
    std::ofstream(dir_ / "junk.jpg") << "no picture";
    options_.texturePath = (dir_ / "junk.jpg").string();
    TFillResult result = Run();
    EXPECT_EQ(result.status, TFillStatus::TextureUnreadable);
    EXPECT_EQ(result.message, "テクスチャ画像ファイルを読み込めませんでした。");
    EXPECT_FALSE(fs::exists(Temp()));
    options_.texturePath = (dir_ / "texture.png").string();

    options_.outputName = (dir_ / "out" / "fill😀.bmp").string();  // not in code page 932
    result = Run();
    EXPECT_EQ(result.status, TFillStatus::PathRefused);
    EXPECT_EQ(result.message, "画像ファイル名に使用できない文字が含まれています。");

    // "^@BM" + path + ",200.000" must fit 255 bytes; 図 takes two.
    std::string name = (dir_ / "out").string() + "/";
    name += std::string(255 - 4 - 8 - name.size() - 4 - 2, 'a') + "図.bmp";
    options_.outputName = name;
    ASSERT_TRUE(Run().Ok());
    EXPECT_EQ(handBack_.pictureText.size(), 255u);
    options_.outputName.insert(name.size() - 7, "b");
    fs::remove(Temp());
    result = Run();
    EXPECT_EQ(result.status, TFillStatus::PathRefused);
    EXPECT_EQ(result.message, "画像ファイル名が長すぎます。");
    EXPECT_FALSE(fs::exists(Temp()));

    options_.outputName = Temp().string();
    EXPECT_EQ(Run().status, TFillStatus::PathRefused);
}

// On one volume the temporary bitmap itself becomes the output (the window closes after
// OK): its bytes and its date.
TEST_F(FillPipelineTest, OkCopiesAndQueuesThePictureTextExactly) {
    ASSERT_TRUE(Run().Ok());
    fs::last_write_time(Temp(), fs::last_write_time(Temp()) - std::chrono::hours(5));
    const std::string picture = Read(Temp());
    const auto date = fs::last_write_time(Temp());
    TConfirmResult ok = ConfirmFill(handBack_, dir_ / "program", store_);
    EXPECT_TRUE(ok.queued);
    EXPECT_TRUE(ok.message.empty());
    EXPECT_EQ(Read(options_.outputName), picture);
    EXPECT_EQ(fs::last_write_time(options_.outputName), date);
    ASSERT_TRUE(WriteExchangeFile(store_, dir_ / "program" / "JWC_TEMP.TXT"));
    RemoveTempImage(dir_ / "program");
    EXPECT_FALSE(fs::exists(Temp()));
    EXPECT_EQ(Read(dir_ / "program" / "JWC_TEMP.TXT"),
              "ch -100 -100 1 0 \"^@BM" + options_.outputName + ",200.000\r\n");
}

TEST_F(FillPipelineTest, OkQueuesNothingWithoutACompleteCopy) {
    // OK without a fill: nothing copied, nothing queued, no message.
    TConfirmResult none = ConfirmFill(handBack_, dir_ / "program", store_);
    EXPECT_FALSE(none.queued);
    EXPECT_TRUE(none.message.empty());

    // The temporary bitmap went missing while an older picture of that name exists.
    ASSERT_TRUE(Run().Ok());
    fs::remove(Temp());
    std::ofstream(options_.outputName) << "older picture";
    TConfirmResult missing = ConfirmFill(handBack_, dir_ / "program", store_);
    EXPECT_FALSE(missing.queued);
    EXPECT_EQ(missing.message, "画像ファイルをコピーできませんでした。");
    EXPECT_EQ(Read(options_.outputName), "older picture");

    // The output folder went away after the fill.
    ASSERT_TRUE(Run().Ok());
    fs::remove_all(dir_ / "out");
    EXPECT_FALSE(ConfirmFill(handBack_, dir_ / "program", store_).queued);
    EXPECT_TRUE(store_.outputLines.empty());
}

// A texture that is a FIFO or device is refused by the checks, without waiting.
#ifndef _WIN32
TEST_F(FillPipelineTest, FifoTextureIsRefusedAtOnce) {
    ASSERT_EQ(::mkfifo((dir_ / "fifo.png").c_str(), 0600), 0);
    options_.texturePath = (dir_ / "fifo.png").string();
    EXPECT_EQ(test::ExitCodeInChild([&] {
                  const TFillResult result = Run();
                  return result.status == TFillStatus::CheckFailed &&
                                 result.message == kTextureNotRegularMessage
                             ? 0
                             : 1;
              }),
              0);
    options_.texturePath = "/dev/zero";
    EXPECT_EQ(Run().message, "指定したテクスチャ画像ファイルは通常のファイルではありません。");
    EXPECT_FALSE(fs::exists(Temp()));
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FillPipelineTest, FifoTextureIsRefusedAtOnce,
                            "needs a FIFO, /dev/zero and fork")
#endif

// A control byte would add lines to the exchange file, a comma would cut the path
// where the host splits off the width: refused before anything is made.
TEST_F(FillPipelineTest, OutputPathsThatWouldBreakThePictureTextAreRefused) {
    for (const std::string name : {"x\r\nci 0 0 99\r\ny.bmp", "a\tb.bmp", "a,b.bmp", "\x1f.bmp"}) {
        SCOPED_TRACE(name);
        options_.outputName = (dir_ / "out").string() + "/" + name;
        const TFillResult result = Run();
        EXPECT_EQ(result.status, TFillStatus::PathRefused);
        EXPECT_EQ(result.message, "画像ファイル名に使用できない文字が含まれています。");
        EXPECT_TRUE(handBack_.Empty());
        EXPECT_FALSE(fs::exists(Temp()));
    }
    // Also when the comma comes from the drawing's folder.
    Load("file=" + (dir_ / "a,b" / "plan.jww").string() + "\nci 0 0 80\n");
    options_.outputName = "fill.bmp";
    EXPECT_EQ(Run().status, TFillStatus::PathRefused);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "out"), {}), 0);
}

// The output must not reach the temporary bitmap or the exchange file through a link,
// and must be a regular file or a new name.
#ifndef _WIN32
TEST_F(FillPipelineTest, OutputThatIsTheTemporaryOrExchangeFileOrNoFileIsRefused) {
    const fs::path exchange = dir_ / "program" / "JWC_TEMP.TXT";
    std::ofstream(exchange) << "ci 0 0 80\r\n";
    const fs::path out = dir_ / "out";
    fs::create_hard_link(exchange, out / "hard.bmp");
    fs::create_symlink(Temp(), out / "soft.bmp");
    fs::create_directory(out / "folder.bmp");
    ASSERT_EQ(::mkfifo((out / "fifo.bmp").c_str(), 0600), 0);
    fs::create_symlink(out / "nowhere" / "x.bmp", out / "dangling.bmp");
    std::ofstream(Temp()) << "old temporary";  // the link reaches an existing file
    const std::pair<const char*, const char*> cases[] = {{"hard.bmp", kPathIsExchangeMessage},
                                                         {"soft.bmp", kPathIsTempMessage},
                                                         {"folder.bmp", kPathNotRegularMessage},
                                                         {"fifo.bmp", kPathNotRegularMessage},
                                                         {"dangling.bmp", kPathNotRegularMessage}};
    for (const auto& [name, message] : cases) {
        SCOPED_TRACE(name);
        options_.outputName = (out / name).string();
        const TFillResult result = Run();
        EXPECT_EQ(result.status, TFillStatus::PathRefused);
        EXPECT_EQ(result.message, message);
    }
    EXPECT_EQ(Read(exchange), "ci 0 0 80\r\n");
    EXPECT_TRUE(fs::is_directory(out / "folder.bmp"));

    // A link made between the fill command and OK is caught at OK.
    options_.outputName = (out / "late.bmp").string();
    ASSERT_TRUE(Run().Ok());
    fs::create_symlink(exchange, out / "late.bmp");
    const TConfirmResult ok = ConfirmFill(handBack_, dir_ / "program", store_);
    EXPECT_FALSE(ok.queued);
    EXPECT_EQ(ok.message, kPathIsExchangeMessage);
    EXPECT_EQ(Read(exchange), "ci 0 0 80\r\n");
    EXPECT_TRUE(store_.outputLines.empty());
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FillPipelineTest,
                            OutputThatIsTheTemporaryOrExchangeFileOrNoFileIsRefused,
                            "needs a FIFO and symbolic links without privileges")
#endif

// OK on a full disk keeps the user's older picture of that name and hands nothing back.
#ifndef _WIN32
// Only a copy can meet a full disk: the output is on another volume (a memory file
// system) when there is one.
TEST_F(FillPipelineTest, FailedCopyAtOkKeepsTheOlderPicture) {
    struct stat here, there;
    if (::stat(dir_.c_str(), &here) != 0 || ::stat("/dev/shm", &there) != 0 ||
        here.st_dev == there.st_dev || ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second volume to write to";
    const fs::path otherVolume = fs::path("/dev/shm") / dir_.filename();
    fs::create_directories(otherVolume);
    struct RemovedAfter {
        fs::path path;
        ~RemovedAfter() { fs::remove_all(path); }
    } removed{otherVolume};
    options_.outputName = (otherVolume / "fill.bmp").string();
    ASSERT_TRUE(Run().Ok());
    std::ofstream(options_.outputName) << "older picture";
    {
        test::TFileSizeLimit fullDisk(1000);
        const TConfirmResult ok = ConfirmFill(handBack_, dir_ / "program", store_);
        EXPECT_FALSE(ok.queued);
        EXPECT_EQ(ok.message, kCopyFailedMessage);
    }
    EXPECT_EQ(Read(options_.outputName), "older picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(otherVolume), {}), 1);
    EXPECT_TRUE(fs::exists(Temp()));
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FillPipelineTest, FailedCopyAtOkKeepsTheOlderPicture,
                            "file size limits")
#endif

// The host writes '?' for a character of the drawing's folder that code page 932 lacks;
// a picture named without a folder would go nowhere. One named with its folder is fine.
TEST_F(FillPipelineTest, DrawingFolderTheHostCouldNotWriteIsRefusedWithItsReason) {
    for (const std::string& drawing :
         {std::string("C:\\Jos?\\plan.jww"), std::string("C:\\\x82\\plan.jww")}) {  // broken bytes
        Load("file=" + drawing + "\nci 0 0 80\n");
        options_.outputName = "fill.bmp";
        const TFillResult result = Run();
        EXPECT_EQ(result.status, TFillStatus::PathRefused);
        EXPECT_EQ(result.message, kDrawingFolderUnusableMessage);
        EXPECT_FALSE(fs::exists(Temp()));
    }
    options_.outputName = (dir_ / "out" / "fill.bmp").string();
    EXPECT_TRUE(Run().Ok());
}

// A program folder that takes no file: the fill says so in place of a bare failure,
// and leaves nothing behind.
TEST_F(FillPipelineTest, ReadOnlyProgramFolderIsNamedAsTheReason) {
    fs::permissions(dir_ / "program",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (ReplaceFileContent(dir_ / "program" / "probe", "") == TFileProblem::None) {
        fs::permissions(dir_ / "program", fs::perms::owner_all, fs::perm_options::add);
        GTEST_SKIP()
            << "the folder still takes files (root, or the read-only attribute of Windows)";
    }
    const TFillResult result = Run();
    fs::permissions(dir_ / "program", fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(result.status, TFillStatus::SaveFailed);
    EXPECT_EQ(result.message, kProgramFolderReadOnlyMessage);
    EXPECT_TRUE(handBack_.Empty());
    EXPECT_TRUE(fs::is_empty(dir_ / "program"));
}

}  // namespace
}  // namespace veldra
