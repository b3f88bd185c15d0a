#include "options/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/exchange/host_stand_in.h"
#include "tests/posix_only.h"

#ifndef _WIN32
#include <sys/stat.h>  // mkfifo
#endif

namespace veldra {
namespace {

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SettingsFile, EmptyTextReadsEveryLineAsEmpty) {
    const TSettings s = ParseSettings("");
    EXPECT_EQ(s.savedWidth, 475);
    EXPECT_EQ(s.savedHeight, 200);  // an empty line is 0, raised to the minimum
    EXPECT_EQ(s.arcDivisions, "");
    EXPECT_EQ(s.colourDepth, 0);
    EXPECT_EQ(s.magnification, 10);
}

TEST(SettingsFile, DefaultsWithoutFile) {
    const TSettings s = LoadSettings("/nonexistent/folder/veldra.dat");
    EXPECT_EQ(s.savedLeft, 0);
    EXPECT_EQ(s.savedTop, 0);
    EXPECT_EQ(s.savedWidth, 475);
    EXPECT_EQ(s.savedHeight, 475);
    EXPECT_EQ(s.outputName, "");
    EXPECT_EQ(s.textureName, "");
    EXPECT_FALSE(s.backgroundLoaded);
    EXPECT_EQ(s.arcDivisions, "24");
    EXPECT_EQ(s.colourDepth, 3);
    EXPECT_EQ(s.magnification, 200);
}

TEST(SettingsFile, ClampsEveryNumber) {
    TSettings s = ParseSettings("-5\r\n7\r\n100\r\n50\r\na.bmp\r\nt.jpg\r\n2\r\nabc\r\n7\r\n5\r\n");
    EXPECT_EQ(s.savedLeft, -5);
    EXPECT_EQ(s.savedTop, 7);
    EXPECT_EQ(s.savedWidth, 475);
    EXPECT_EQ(s.savedHeight, 200);
    EXPECT_EQ(s.outputName, "a.bmp");
    EXPECT_EQ(s.textureName, "t.jpg");
    EXPECT_EQ(s.background, 1);
    EXPECT_EQ(s.arcDivisions, "abc");
    EXPECT_EQ(s.colourDepth, 4);
    EXPECT_EQ(s.magnification, 10);

    s = ParseSettings("0\r\n0\r\n800\r\n600\r\n\r\n\r\n0\r\n24\r\n-3\r\n900\r\n");
    EXPECT_EQ(s.savedWidth, 800);
    EXPECT_EQ(s.savedHeight, 600);
    EXPECT_EQ(s.background, 0);
    EXPECT_EQ(s.colourDepth, 0);
    EXPECT_EQ(s.magnification, 500);
}

TEST(SettingsFile, FourLinesLeaveTheRestEmpty) {
    const TSettings s = ParseSettings("10\r\n20\r\n600\r\n400\r\n");
    EXPECT_EQ(s.savedLeft, 10);
    EXPECT_EQ(s.savedTop, 20);
    EXPECT_EQ(s.savedWidth, 600);
    EXPECT_EQ(s.savedHeight, 400);
    EXPECT_EQ(s.outputName, "");
    EXPECT_EQ(s.arcDivisions, "");
    EXPECT_EQ(s.background, 0);
    EXPECT_EQ(s.colourDepth, 0);
    EXPECT_EQ(s.magnification, 10);
}

TEST(SettingsFile, AcceptsBareLineFeedsAndKeepsShiftJisBytes) {
    const std::string name = "C:\\\x90\x7d\x96\xca\\out.bmp";  // C:\図面\out.bmp
    const TSettings s = ParseSettings("1\n2\n500\n300\n" + name + "\n\n1\n12\n2\n150");
    EXPECT_EQ(s.outputName, name);
    EXPECT_EQ(s.arcDivisions, "12");
    EXPECT_EQ(s.magnification, 150);
}

TEST(SettingsFile, SavesTenCrLfLinesThatLoadBack) {
    const auto dir = std::filesystem::temp_directory_path() / "veldra_settings_roundtrip";
    std::filesystem::create_directories(dir);
    const auto path = dir / "veldra.dat";
    TSettings s;
    s.savedLeft = 12;
    s.savedTop = -3;
    s.savedWidth = 640;
    s.savedHeight = 480;
    s.outputName = "out.bmp";
    s.textureName = "/tmp/t.png";
    s.background = 1;
    s.arcDivisions = "36";
    s.colourDepth = 2;
    s.magnification = 150;
    ASSERT_TRUE(SaveSettings(path, s));
    EXPECT_EQ(ReadAll(path),
              "12\r\n-3\r\n640\r\n480\r\nout.bmp\r\n/tmp/t.png\r\n1\r\n36\r\n2\r\n150\r\n"
              "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0\r\n");
    const TSettings back = LoadSettings(path);
    EXPECT_EQ(back.savedTop, -3);
    EXPECT_EQ(back.textureName, "/tmp/t.png");
    EXPECT_EQ(back.background, 1);
    EXPECT_EQ(back.magnification, 150);
    EXPECT_FALSE(std::filesystem::exists(dir / "veldra.dat.tmp"));
    std::filesystem::remove_all(dir);
}

TEST(SettingsFile, RegionOptionsFollowTheTenLines) {
    const std::string ten = "1\r\n2\r\n500\r\n300\r\na.bmp\r\nt.png\r\n0\r\n24\r\n3\r\n200\r\n";
    const TSettings old = ParseSettings(ten);
    EXPECT_EQ(old.regionMode, TRegionMode::Chain);
    EXPECT_EQ(old.gapTolerance, "0");
    EXPECT_EQ(old.islandMode, TIslandMode::Normal);
    const TSettings faces = ParseSettings(ten + "1\r\n0.05\r\n2\r\n");
    EXPECT_EQ(faces.regionMode, TRegionMode::Faces);
    EXPECT_EQ(faces.gapTolerance, "0.05");
    EXPECT_EQ(faces.islandMode, TIslandMode::Ignore);
    EXPECT_EQ(FormatSettings(faces), ten + "1\r\n0.05\r\n2\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0\r\n");
    // Values that name no mode fall back to the defaults; an empty tolerance is 0.
    const TSettings odd = ParseSettings(ten + "7\r\n\r\n-1\r\n");
    EXPECT_EQ(odd.regionMode, TRegionMode::Chain);
    EXPECT_EQ(odd.gapTolerance, "0");
    EXPECT_EQ(odd.islandMode, TIslandMode::Normal);
}

TEST(SettingsFile, PrintOptionsFollowTheRegionLinesAndTenLinesGiveDefaults) {
    TSettings s;
    s.print.dpi = 600;
    s.print.area = TOutputArea::Fill;
    s.print.tileWidthMm = 12.5;
    s.print.tileAngleDeg = -30;
    const std::string text = FormatSettings(s);
    EXPECT_NE(text.find("200\r\n0\r\n0\r\n0\r\n600\r\n1\r\n12.5\r\n-30\r\n"), std::string::npos)
        << text;
    const TSettings back = ParseSettings(text);
    EXPECT_EQ(back.print.dpi, 600);
    EXPECT_EQ(back.print.area, TOutputArea::Fill);
    EXPECT_EQ(back.print.tileWidthMm, 12.5);
    EXPECT_EQ(back.print.tileAngleDeg, -30);
    // A file of the ten lines alone loads the defaults.
    const TSettings ten = ParseSettings("0\r\n0\r\n500\r\n400\r\n\r\n\r\n0\r\n24\r\n3\r\n200\r\n");
    EXPECT_EQ(ten.print.dpi, 0);
    EXPECT_EQ(ten.print.area, TOutputArea::View);
    EXPECT_EQ(ten.print.tileWidthMm, 0);
    EXPECT_EQ(ten.print.tileAngleDeg, 0);
    // Out of range turns an option off.
    const TSettings bad = ParseSettings(std::string(13, '\n') + "5\n7\n-2\n9999\n");
    EXPECT_EQ(bad.print.dpi, 0);
    EXPECT_EQ(bad.print.area, TOutputArea::View);
    EXPECT_EQ(bad.print.tileWidthMm, 0);
    EXPECT_EQ(bad.print.tileAngleDeg, 0);
    EXPECT_EQ(ParseSettings(std::string(13, '\n') + "300\n").print.dpi, 300);
}

TEST(SettingsFile, ViewLinesFollowTheSeventeenAndShorterFilesGiveDefaults) {
    TSettings s;
    s.showTexts = false;
    s.gapUnit = 1;
    const std::string text = FormatSettings(s);
    EXPECT_NE(text.find("0\r\n0\r\n0\r\n1\r\n"), std::string::npos) << text;
    const TSettings back = ParseSettings(text);
    EXPECT_FALSE(back.showTexts);
    EXPECT_EQ(back.gapUnit, 1);
    // Ten and seventeen lines: texts shown, the gap in paper mm.
    const std::string ten = "0\r\n0\r\n500\r\n400\r\n\r\n\r\n0\r\n24\r\n3\r\n200\r\n";
    for (const std::string& shorter : {ten, ten + "1\r\n0.5\r\n0\r\n300\r\n1\r\n0\r\n0\r\n"}) {
        const TSettings d = ParseSettings(shorter);
        EXPECT_TRUE(d.showTexts);
        EXPECT_EQ(d.gapUnit, 0);
    }
    // An unknown unit is paper mm.
    EXPECT_EQ(ParseSettings(text.substr(0, text.size() - 3) + "7\r\n").gapUnit, 0);
}

#ifndef _WIN32
TEST(SettingsFile, FailedWriteKeepsTheOldSettings) {
    const auto dir = std::filesystem::temp_directory_path() / "veldra_settings_fail";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto path = dir / "veldra.dat";
    TSettings old;
    old.outputName = "keep.bmp";
    ASSERT_TRUE(SaveSettings(path, old));
    const std::string before = ReadAll(path);
    // The disk fills up while the new settings are written (a file size limit, which
    // binds root too, in a child process).
    TSettings changed;
    changed.outputName = "lost.bmp";
    EXPECT_EQ(test::ExitCodeInChild([&] {
                  test::TFileSizeLimit fullDisk(10);
                  return SaveSettings(path, changed) ? 1 : 0;
              }),
              0);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    std::filesystem::remove_all(dir);
}

// A link planted at the old fixed temporary name is never written through; a FIFO
// or device under the settings file's name is refused at once, in both directions.
TEST(SettingsFile, NeverWritesThroughALinkAndNeverWaitsOnAFifo) {
    test::TTempFolder temp;
    const auto path = temp.path() / "veldra.dat";
    test::WriteBytes(temp.path() / "victim", "precious");
    std::filesystem::create_symlink(temp.path() / "victim", temp.path() / "veldra.dat.tmp");
    ASSERT_TRUE(SaveSettings(path, TSettings{}));
    EXPECT_EQ(test::ReadBytes(temp.path() / "victim"), "precious");
    EXPECT_EQ(LoadSettings(path).savedWidth, 475);

    const auto fifo = temp.path() / "fifo.dat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(
        test::ExitCodeInChild([&] {
            TFileProblem read = TFileProblem::None, written = TFileProblem::None;
            LoadSettings(fifo, &read);
            SaveSettings(fifo, TSettings{}, &written);
            return read == TFileProblem::NotRegular && written == TFileProblem::NotRegular ? 0 : 1;
        }),
        0);
    EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
    TFileProblem problem = TFileProblem::None;
    EXPECT_EQ(LoadSettings("/dev/zero", &problem).magnification, 200);
    EXPECT_EQ(problem, TFileProblem::NotRegular);
}
#else
VELDRA_SKIPPED_ON_WINDOWS(SettingsFile, FailedWriteKeepsTheOldSettings, "fork and file size limits")
VELDRA_SKIPPED_ON_WINDOWS(SettingsFile, NeverWritesThroughALinkAndNeverWaitsOnAFifo,
                          "needs a FIFO, /dev/zero and symbolic links without privileges")
#endif

TEST(SettingsFile, PathIsTheExecutableWithDat) {
    EXPECT_EQ(SettingsPathFor("/opt/x/bin/veldra"), std::filesystem::path("/opt/x/bin/veldra.dat"));
    EXPECT_EQ(SettingsPathFor("/opt/x/bin/veldra.exe"),
              std::filesystem::path("/opt/x/bin/veldra.dat"));
}

}  // namespace
}  // namespace veldra
