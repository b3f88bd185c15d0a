// Runs the veldra-cli program's fill command as a script would and checks what the
// host gets back: the picture, the exchange file byte for byte, the messages.

#include <gtest/gtest.h>

#include <QImage>

#ifndef _WIN32
#include <sys/stat.h>  // mkfifo
#include <sys/wait.h>  // WIFEXITED
#endif
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/my_func.h"
#include "exchange/exchange_reader.h"
#include "exchange/exchange_writer.h"
#include "tests/posix_only.h"
#include "view/view_navigation.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& p, const std::string& content) {
    std::ofstream(p, std::ios::binary) << content;
}

class FillCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "POSIX only: runs veldra-cli through a POSIX shell (timeout, quoting)";
#endif
        dir_ = fs::temp_directory_path() /
               ("veldra-cli-fill-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "program");
        fs::create_directories(dir_ / "drawings");
        QImage texture(8, 8, QImage::Format_RGB32);
        texture.fill(qRgb(30, 60, 90));
        texture.save(QString::fromStdString((dir_ / "texture.png").string()));
    }
    void TearDown() override {
        if (!dir_.empty()) fs::remove_all(dir_);
    }

    // Runs veldra-cli fill with the arguments; the exit status, stderr in err_.
    int Fill(const std::string& arguments) {
        // A run that blocks on a FIFO is ended after a minute and counts as failed.
        std::string command = "QT_QPA_PLATFORM=offscreen timeout 60 '" VELDRA_BIN_DIR
                              "/veldra-cli' fill " +
                              arguments + " > '" + (dir_ / "out.txt").string() + "' 2> '" +
                              (dir_ / "err.txt").string() + "'";
        int status = std::system(command.c_str());
        err_ = Read(dir_ / "err.txt");
#ifdef _WIN32
        return status;
#else
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    }
    std::string Folder() const {
        return "--folder '" + (dir_ / "program").string() + "'";
    }
    std::string Texture() const {
        return " --texture '" + (dir_ / "texture.png").string() + "'";
    }
    fs::path Exchange() const {
        return dir_ / "program" / "JWC_TEMP.TXT";
    }

    fs::path dir_;
    std::string err_;
};

TEST_F(FillCommandTest, FillsAndHandsThePlacementBackLikeOkAndClose) {
    // "file=" puts a bare output name beside the drawing; "bz" is echoed first.
    const std::string exchange = "file=" + (dir_ / "drawings" / "plan.jww").string() +
                                 "\nbz\n-100 -100 100 -100\n100 -100 100 100\n"
                                 "100 100 -100 100\n-100 100 -100 -100\nci 0 0 50\n";
    Write(Exchange(), exchange);
    ASSERT_EQ(Fill(Folder() + Texture() + " --out fill.bmp --size 320x240 --depth 256"), 0) << err_;

    const fs::path picture = dir_ / "drawings" / "fill.bmp";
    QImage image(QString::fromStdString(picture.string()), "BMP");
    ASSERT_EQ(image.size(), QSize(320, 240));
    EXPECT_EQ(static_cast<uchar>(Read(picture)[28]), 8);
    EXPECT_EQ(image.pixel(160, 120), qRgb(255, 255, 255));  // the circle is a hole
    EXPECT_EQ(image.pixel(160, 120 + 85), qRgb(30, 60, 90));
    EXPECT_FALSE(fs::exists(dir_ / "program" / "rw47_temp.BMP"));

    // The placement is the window of the view fitted as the window does.
    TJwwEntityStore store;
    InitStore(store);
    ReadExchangeBytes(store, exchange);
    TViewState view;
    FitView(view, store, 320, 240);
    EXPECT_EQ(Read(Exchange()), "bz\r\nch " + FormatGeneral(view.viewLeft) + " " +
                                    FormatGeneral(view.viewBottom) + " 1 0 \"^@BM" +
                                    picture.string() + "," +
                                    FormatFixed(3, view.viewRight - view.viewLeft) + "\r\n");
}

TEST_F(FillCommandTest, FailedCheckEndsAsCancel) {
    Write(Exchange(), "ci 0 0 50\n");
    EXPECT_EQ(Fill(Folder() + " --out fill.bmp"), 1);
    EXPECT_NE(err_.find("テクスチャ画像ファイル名の指定を行って下さい。"), std::string::npos);
    EXPECT_EQ(Read(Exchange()), "hq\r\n");

    Write(Exchange(), "bz\nci 0 0 50\n");
    EXPECT_EQ(Fill(Folder() + Texture() + " --out fill.png"), 1);
    EXPECT_NE(err_.find("画像ファイル名は BMP形式のみです。"), std::string::npos);
    EXPECT_EQ(Read(Exchange()), "bz\r\n");

    Write(dir_ / "junk.jpg", "not a picture");
    EXPECT_EQ(Fill(Folder() + " --texture '" + (dir_ / "junk.jpg").string() + "' --out f.bmp"), 1);
    EXPECT_NE(err_.find("テクスチャ画像ファイルを読み込めませんでした。"), std::string::npos);
    EXPECT_EQ(Read(Exchange()), "bz\r\n");
    EXPECT_FALSE(fs::exists(dir_ / "program" / "rw47_temp.BMP"));
}

TEST_F(FillCommandTest, BadUsageTouchesNothing) {
    Write(Exchange(), "ci 0 0 50\n");
    const char* bad[] = {
        "",
        " --folder",
        " --depth 3",
        " --magnification 5",
        " --magnification 501",
        " --size 0x10",
        " --size 100",
        " --dpi 5",
        " --dpi abc",
        " --area page",
        " --tile-mm 0",
        " --tile-mm 1e5",
        " --tile-mm=0x10",
        " --dpi=",
        " --tile-angle 400",
        " --background grey",
        " --colour red",
        " stray",
    };
    for (const char* args : bad) {
        SCOPED_TRACE(args);
        EXPECT_EQ(Fill((std::string(args).empty() ? "" : Folder()) + Texture() + args), 2);
        EXPECT_NE(err_.find("usage:"), std::string::npos);
    }
    EXPECT_EQ(Fill("--folder '" + (dir_ / "texture.png").string() + "'" + Texture()), 2);
    EXPECT_EQ(Read(Exchange()), "ci 0 0 50\n");
}

TEST_F(FillCommandTest, OptionsReachThePicture) {
    Write(Exchange(), "ci 0 0 50\n");
    const fs::path out = dir_ / "drawings" / "mono.bmp";
    ASSERT_EQ(Fill(Folder() + Texture() + " --out '" + out.string() +
                   "' --depth 2 --size 200x100 --background black --divisions 2"),
              0)
        << err_;
    EXPECT_EQ(static_cast<uchar>(Read(out)[28]), 1);
    QImage image(QString::fromStdString(out.string()), "BMP");
    EXPECT_EQ(image.size(), QSize(200, 100));
    EXPECT_EQ(image.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_NE(Read(dir_ / "out.txt").find("3 divisions"), std::string::npos);
}

TEST_F(FillCommandTest, FacesModeFillsPickedRoomsAndPrintsTheCounts) {
    // Two rooms side by side sharing a wall drawn across them, one wall stopping short.
    Write(Exchange(),
          "-100 -50 100 -50\n100 -50 100 50\n100 50 -100 50\n-100 50 -100 -50\n"
          "0 -60 0 49.996\n");
    const std::string out = " --out '" + (dir_ / "fill.bmp").string() + "' --size 200x100";
    ASSERT_EQ(Fill(Folder() + Texture() + out + " --mode faces"), 0) << err_;
    EXPECT_NE(Read(dir_ / "out.txt").find("regions filled: 1\nopen ends: 2\njoins: 0\n"),
              std::string::npos);
    Write(Exchange(),
          "-100 -50 100 -50\n100 -50 100 50\n100 50 -100 50\n-100 50 -100 -50\n"
          "0 -60 0 49.996\n");
    ASSERT_EQ(Fill(Folder() + Texture() + out + " --mode faces --gap 0.01 --pick=50,0"), 0) << err_;
    EXPECT_NE(Read(dir_ / "out.txt").find("regions filled: 1\nopen ends: 1\njoins: 1\n"),
              std::string::npos)
        << Read(dir_ / "out.txt");
    const QImage picture(QString::fromStdString((dir_ / "fill.bmp").string()));
    ASSERT_FALSE(picture.isNull());
    // Only the right-hand room.
    EXPECT_EQ(picture.pixel(150, 50), qRgb(30, 60, 90));
    EXPECT_EQ(picture.pixel(50, 50), qRgb(255, 255, 255));

    EXPECT_EQ(Fill(Folder() + Texture() + out + " --mode faces --gap -2"), 2);
    EXPECT_NE(err_.find("bad --gap"), std::string::npos);
}

// Files that are not regular files end the run at once with exit 1 and a message;
// nothing blocks, nothing is written where it must not be.
#ifndef _WIN32
TEST_F(FillCommandTest, FifosAndDevicesAreRefusedAtOnce) {
    ASSERT_EQ(::mkfifo(Exchange().c_str(), 0600), 0);
    EXPECT_EQ(Fill(Folder() + Texture() + " --out fill.bmp"), 1);
    EXPECT_NE(err_.find("JWC_TEMP.TXT: not a regular file"), std::string::npos) << err_;
    EXPECT_EQ(fs::status(Exchange()).type(), fs::file_type::fifo);
    fs::remove(Exchange());

    // A device "written" is no hand-back: success must not be reported.
    fs::create_symlink("/dev/null", Exchange());
    EXPECT_EQ(Fill(Folder() + Texture() + " --out '" + (dir_ / "f.bmp").string() + "'"), 1);
    EXPECT_NE(err_.find("cannot write"), std::string::npos) << err_;
    fs::remove(Exchange());

    Write(Exchange(), "ci 0 0 50\n");
    ASSERT_EQ(::mkfifo((dir_ / "fifo.png").c_str(), 0600), 0);
    EXPECT_EQ(Fill(Folder() + " --texture '" + (dir_ / "fifo.png").string() + "' --out f.bmp"), 1);
    EXPECT_NE(err_.find("通常のファイルではありません。"), std::string::npos) << err_;
    EXPECT_EQ(Read(Exchange()), "hq\r\n");

    Write(Exchange(), "ci 0 0 50\n");
    ASSERT_EQ(::mkfifo((dir_ / "fifo.bmp").c_str(), 0600), 0);
    EXPECT_EQ(Fill(Folder() + Texture() + " --out '" + (dir_ / "fifo.bmp").string() + "'"), 1);
    EXPECT_NE(err_.find("通常のファイルではありません。"), std::string::npos) << err_;
    EXPECT_EQ(Read(Exchange()), "hq\r\n");
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FillCommandTest, FifosAndDevicesAreRefusedAtOnce,
                            "needs a FIFO and /dev/null")
#endif

// The picture text cannot be broken, and the picture handed back can be neither the
// temporary bitmap nor the exchange file, whatever link leads there.
TEST_F(FillCommandTest, OutputsThatWouldMisleadTheHostAreRefused) {
    const std::string selection = "ci 0 0 50\n";
    Write(Exchange(), selection);
    const std::string injected = (dir_ / "x").string() + "\r\nci 0 0 99\r\ny.bmp";
    EXPECT_EQ(Fill(Folder() + Texture() + " --out '" + injected + "'"), 1);
    EXPECT_NE(err_.find("画像ファイル名に使用できない文字が含まれています。"), std::string::npos);
    EXPECT_EQ(Read(Exchange()), "hq\r\n");

    Write(Exchange(), selection);
    EXPECT_EQ(Fill(Folder() + Texture() + " --out '" + (dir_ / "a,b.bmp").string() + "'"), 1);
    EXPECT_NE(err_.find("画像ファイル名に使用できない文字が含まれています。"), std::string::npos);

    Write(Exchange(), selection);
    fs::create_symlink(dir_ / "program" / "rw47_temp.BMP", dir_ / "soft.bmp");
    Write(dir_ / "program" / "rw47_temp.BMP", "left over");
    EXPECT_EQ(Fill(Folder() + Texture() + " --out '" + (dir_ / "soft.bmp").string() + "'"), 1);
    EXPECT_NE(err_.find("作業用の一時ファイル"), std::string::npos) << err_;

    Write(Exchange(), selection);
    fs::create_hard_link(Exchange(), dir_ / "hard.bmp");
    EXPECT_EQ(Fill(Folder() + Texture() + " --out '" + (dir_ / "hard.bmp").string() + "'"), 1);
    EXPECT_NE(err_.find("JWC_TEMP.TXT"), std::string::npos) << err_;
    EXPECT_EQ(Read(Exchange()), "hq\r\n");
    EXPECT_EQ(Read(dir_ / "hard.bmp"), selection) << "the picture never went into the link";
    EXPECT_EQ(Read(dir_ / "out.txt"), "");
}

TEST_F(FillCommandTest, PrintOptionsGiveThePictureSizeAndPlacement) {
    // A 20 mm square at 254 dpi (10 px/mm), cropped to the fill with a one-pixel margin.
    Write(Exchange(), "0 0 20 0\n20 0 20 20\n20 20 0 20\n0 20 0 0\n");
    const fs::path out = dir_ / "drawings" / "print.bmp";
    ASSERT_EQ(Fill(Folder() + Texture() + " --out '" + out.string() +
                   "' --dpi 254 --area fill --tile-mm 2.5 --tile-angle 30"),
              0)
        << err_;
    QImage image(QString::fromStdString(out.string()), "BMP");
    EXPECT_EQ(image.size(), QSize(202, 202));
    const std::string printed = Read(dir_ / "out.txt");
    EXPECT_NE(printed.find("(202x202, 254 dpi,"), std::string::npos) << printed;
    EXPECT_NE(printed.find("placed at -0.1 -0.1, width 20.2"), std::string::npos) << printed;
    EXPECT_NE(Read(Exchange()).find("ch -0.1 -0.1 1 0 \""), std::string::npos);
}

// A host whose batch file is saved as UTF-8, in a program folder named in Japanese: the
// exchange file is read as UTF-8 and handed back in UTF-8 after its byte order mark; a
// bare output name goes beside the drawing, whose folder is Japanese too.
TEST_F(FillCommandTest, Utf8ExchangeFileInAJapaneseFolderIsHandedBackInUtf8) {
    const fs::path program = dir_ / fs::u8path("\xE5\x9B\xB3\xE9\x9D\xA2");  // 図面
    const fs::path drawings = dir_ / fs::u8path("\xE3\x81\x82");             // あ
    fs::create_directories(program);
    fs::create_directories(drawings);
    Write(program / "JWC_TEMP.TXT",
          "\xEF\xBB\xBF"
          "file=" +
              (drawings / "plan.jww").string() + "\r\nbz\r\nci 0 0 50\r\n-60 -60 60 -60\r\n");
    ASSERT_EQ(
        Fill("--folder '" + program.string() + "'" + Texture() + " --out fill.bmp --size 100x100"),
        0)
        << err_;
    EXPECT_TRUE(fs::exists(drawings / "fill.bmp"));
    const std::string back = Read(program / "JWC_TEMP.TXT");
    EXPECT_EQ(back.substr(0, 7),
              "\xEF\xBB\xBF"
              "bz\r\n");
    EXPECT_NE(back.find("^@BM" + (drawings / "fill.bmp").string() + ","), std::string::npos)
        << back;
}

TEST_F(FillCommandTest, EveryOptionTakesBothFormsAndOneNumberSyntax) {
    Write(Exchange(), "0 0 20 0\n20 0 20 20\n20 20 0 20\n0 20 0 0\n");
    const fs::path out = dir_ / "drawings" / "both.bmp";
    ASSERT_EQ(Fill("--folder='" + (dir_ / "program").string() + "' --texture='" +
                   (dir_ / "texture.png").string() + "' --out='" + out.string() +
                   "' --dpi=1.27e2 --area=fill --tile-mm 1e1 --tile-angle=-45 --depth=2"),
              0)
        << err_;
    const std::string printed = Read(dir_ / "out.txt");
    EXPECT_NE(printed.find("(102x102, 127 dpi,"), std::string::npos) << printed;
    EXPECT_EQ(static_cast<uchar>(Read(out)[28]), 1);
}

}  // namespace
}  // namespace veldra
