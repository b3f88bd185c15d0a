// Runs the veldra-cli program's fill command as a script would and checks what the
// host gets back: the picture, the exchange file byte for byte, the messages.

#include <gtest/gtest.h>

#include <QImage>

#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/my_func.h"
#include "display/view_navigation.h"
#include "exchange/exchange_reader.h"
#include "exchange/exchange_writer.h"

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
    void TearDown() override { fs::remove_all(dir_); }

    // Runs veldra-cli fill with the arguments; the exit status, stderr in err_.
    int Fill(const std::string& arguments) {
        std::string command = "QT_QPA_PLATFORM=offscreen '" VELDRA_BIN_DIR "/veldra-cli' fill " +
                              arguments + " > '" + (dir_ / "out.txt").string() + "' 2> '" +
                              (dir_ / "err.txt").string() + "'";
        int status = std::system(command.c_str());
        err_ = Read(dir_ / "err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Folder() const { return "--folder '" + (dir_ / "program").string() + "'"; }
    std::string Texture() const { return " --texture '" + (dir_ / "texture.png").string() + "'"; }
    fs::path Exchange() const { return dir_ / "program" / "JWC_TEMP.TXT"; }

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
        " --tile-mm 1e3",
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

}  // namespace
}  // namespace veldra
