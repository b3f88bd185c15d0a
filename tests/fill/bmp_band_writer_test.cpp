#include "fill/bmp_band_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "fill/fill_pipeline.h"
#include "tests/exchange/host_stand_in.h"
#include "tests/posix_only.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempFolder;
using test::WriteBytes;

QImage Band(int width, int rows) {
    QImage band(width, rows, QImage::Format_RGB32);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < width; ++x) band.setPixel(x, y, qRgb(x * 7, y * 13, 99));
    return band;
}

// Writes a 24-bit picture of two bands; true when it was committed.
[[maybe_unused]] bool WritePicture(const fs::path& path, int width = 30, int rows = 10) {
    TBmpBandWriter writer;
    return writer.Open(path, width, 2 * int64_t{rows}, 24, {}, 3780) &&
           writer.WriteBand(Band(width, rows), 0) && writer.WriteBand(Band(width, rows), rows) &&
           writer.Commit();
}

[[maybe_unused]] std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

#ifndef _WIN32
// Names an attacker or an accident can put in the program folder: a link or a FIFO
// where earlier versions grew the picture, a link at the picture's own name.
TEST(BmpBandWriterTest, NeverWritesThroughALinkNorWaitsOnAFifo) {
    TTempFolder temp;
    const fs::path victim = temp.path() / "victim";
    WriteBytes(victim, "precious");
    fs::create_symlink(victim, temp.path() / "linked.bmp.part");
    EXPECT_TRUE(WritePicture(temp.path() / "linked.bmp"));
    EXPECT_EQ(ReadBytes(victim), "precious");
    const QImage read(QString::fromStdString((temp.path() / "linked.bmp").string()), "BMP");
    EXPECT_EQ(read.size(), QSize(30, 20));
    EXPECT_EQ(read.pixel(3, 12), qRgb(21, 26, 99));

    fs::create_symlink(victim, temp.path() / "aimed.bmp");
    EXPECT_FALSE(WritePicture(temp.path() / "aimed.bmp"));
    EXPECT_EQ(ReadBytes(victim), "precious");

    // A FIFO must not hold the fill: in a child with an alarm, so a hang fails.
    ASSERT_EQ(::mkfifo((temp.path() / "piped.bmp.part").c_str(), 0600), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(20);
        _exit(WritePicture(temp.path() / "piped.bmp") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Names(temp.path()),
              (std::vector<std::string>{"aimed.bmp", "linked.bmp", "linked.bmp.part", "piped.bmp",
                                        "piped.bmp.part", "victim"}));
}

// A full disk (here a file size limit) is a failed picture, not a dead program, and
// leaves no partial file.
TEST(BmpBandWriterTest, FileSizeLimitFailsThePictureAndLeavesNothing) {
    TTempFolder temp;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{2000, 2000};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(WritePicture(temp.path() / "big.bmp", 200, 10) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Names(temp.path()).empty());
}

// A fill killed while saving leaves its partial picture; the next fill (or the close
// of the window) removes it, and the one of an earlier version, but nothing else.
TEST(BmpBandWriterTest, PictureOfAKilledFillGoesAtTheNextStart) {
    TTempFolder temp;
    const fs::path& folder = temp.path();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TBmpBandWriter writer;
        if (writer.Open(TempImagePath(folder), 30, 20, 24, {}, 3780) &&
            writer.WriteBand(Band(30, 10), 0))
            std::raise(SIGKILL);
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(Names(folder).size(), 1u);
    EXPECT_TRUE(Names(folder)[0].starts_with("rw47_temp.BMP."));

    WriteBytes(folder / "rw47_temp.BMP.part", "an earlier version's");
    WriteBytes(folder / "victim", "precious");
    fs::create_symlink(folder / "victim", folder / "rw47_temp.BMP.abcdef01.tmp");
    WriteBytes(folder / "picture.bmp", "the user's");
    RemoveTempImage(folder);
    EXPECT_EQ(Names(folder),
              (std::vector<std::string>{"picture.bmp", "rw47_temp.BMP.abcdef01.tmp", "victim"}));
    EXPECT_EQ(ReadBytes(folder / "victim"), "precious");
}
#else
VELDRA_SKIPPED_ON_WINDOWS(BmpBandWriterTest, NeverWritesThroughALinkNorWaitsOnAFifo, "links")
VELDRA_SKIPPED_ON_WINDOWS(BmpBandWriterTest, FileSizeLimitFailsThePictureAndLeavesNothing, "fork")
VELDRA_SKIPPED_ON_WINDOWS(BmpBandWriterTest, PictureOfAKilledFillGoesAtTheNextStart, "fork")
#endif

}  // namespace
}  // namespace veldra
