// The pictures veldra-cli fill makes, pinned pixel for pixel against the PNGs in
// tests/display/golden/ (fill_*.png): the faces with picks and islands, a resolution
// with the fill's area, paper tiles at an angle and every colour depth. Regenerate with
// VELDRA_REGENERATE_GOLDEN=1 and look at each picture before committing it.

#include <gtest/gtest.h>

#include <QImage>

#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/display/golden_image.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

// Two rooms split by a wall, a square island in the left one, a round one in the right.
constexpr const char* kRooms =
    "-100 -60 100 -60\n100 -60 100 60\n100 60 -100 60\n-100 60 -100 -60\n0 -60 0 60\n"
    "-80 -30 -20 -30\n-20 -30 -20 30\n-20 30 -80 30\n-80 30 -80 -30\nci 50 0 20\n";
// A 30 x 20 mm frame with a round hole, small enough to print at 127 dpi.
constexpr const char* kFrame = "0 0 30 0\n30 0 30 20\n30 20 0 20\n0 20 0 0\nci 15 10 5\n";

class FillGoldenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("veldra-fill-golden-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // Many colours, so that every depth reduces them differently.
        QImage texture(12, 12, QImage::Format_RGB32);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                texture.setPixel(x, y, qRgb(20 * x + 10, 20 * y + 10, x == y ? 255 : 90));
        texture.save(QString::fromStdString((dir_ / "texture.png").string()));
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs veldra-cli fill on the drawing with the options; the saved picture, or a
    // null one (with the reason as a test failure) when the run failed.
    QImage Fill(const char* drawing, const std::string& options) {
        std::ofstream(dir_ / "JWC_TEMP.TXT", std::ios::binary) << drawing;
        const fs::path out = dir_ / "fill.bmp";
        const std::string command =
            "QT_QPA_PLATFORM=offscreen timeout 60 '" VELDRA_BIN_DIR "/veldra-cli' fill --folder '" +
            dir_.string() + "' --texture '" + (dir_ / "texture.png").string() + "' --out '" +
            out.string() + "' " + options + " > /dev/null 2> '" + (dir_ / "err.txt").string() + "'";
        const int status = std::system(command.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::ifstream err(dir_ / "err.txt");
            ADD_FAILURE() << options << ": "
                          << std::string(std::istreambuf_iterator<char>(err), {});
            return {};
        }
        std::ifstream file(out, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        bitsPerPixel_ = bytes.size() > 28 ? static_cast<unsigned char>(bytes[28]) : 0;
        return QImage(QString::fromStdString(out.string()), "BMP");
    }

    fs::path dir_;
    int bitsPerPixel_ = 0;
};

TEST_F(FillGoldenTest, FacesWithPicksAndIslands) {
    // The left room around its island and the round island of the right room, picked.
    QImage picked = Fill(kRooms,
                         "--size 200x120 --mode faces --islands outer --pick=-90,0 "
                         "--pick 50,0");
    EXPECT_TRUE(test::MatchesGolden(picked, "fill_faces_picks_outer"));
    // No picks: every face, islands filled as islands of islands ("normal").
    QImage all = Fill(kRooms, "--size 200x120 --mode=faces --islands=normal");
    EXPECT_TRUE(test::MatchesGolden(all, "fill_faces_normal"));
}

TEST_F(FillGoldenTest, ResolutionWithTheFillsArea) {
    // 127 dpi is 5 pixels per mm: the 30 x 20 mm frame and a pixel of margin each side.
    QImage image = Fill(kFrame, "--dpi 127 --area fill");
    EXPECT_EQ(image.size(), QSize(152, 102));
    EXPECT_TRUE(test::MatchesGolden(image, "fill_dpi_area_fill"));
}

TEST_F(FillGoldenTest, PaperTilesAtAnAngle) {
    QImage image = Fill(kFrame, "--size 160x120 --tile-mm 4 --tile-angle=30");
    EXPECT_TRUE(test::MatchesGolden(image, "fill_paper_tiles_30deg"));
}

TEST_F(FillGoldenTest, EachColourDepth) {
    for (const auto& [depth, bits] :
         {std::pair{"2", 1}, {"16", 4}, {"256", 8}, {"24", 24}, {"32", 32}}) {
        SCOPED_TRACE(depth);
        QImage image =
            Fill(kRooms, std::string("--size 200x120 --background black --depth ") + depth);
        EXPECT_EQ(bitsPerPixel_, bits);
        EXPECT_TRUE(test::MatchesGolden(image, std::string("fill_depth_") + depth));
    }
}

}  // namespace
}  // namespace veldra
