#include "common/file_copy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include "tests/exchange/host_stand_in.h"
#include "tests/posix_only.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

class FileCopyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("veldra-copy-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static void Write(const fs::path& p, const std::string& content) {
        std::ofstream(p, std::ios::binary) << content;
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir_;
};

TEST_F(FileCopyTest, CopiesContentAcrossBlocksAndKeepsDate) {
    std::string content;
    for (int i = 0; i < 5000; ++i) content.push_back(static_cast<char>(i * 7));
    Write(dir_ / "a.bmp", content);
    auto old = fs::file_time_type::clock::now() - std::chrono::hours(48);
    fs::last_write_time(dir_ / "a.bmp", old);
    CopyFileWithDate(dir_ / "a.bmp", dir_ / "b.bmp");
    EXPECT_EQ(Read(dir_ / "b.bmp"), content);
    // The source's date as stored: Windows keeps it to 100 ns, and the library may
    // set it to the second only.
    EXPECT_EQ(fs::last_write_time(dir_ / "b.bmp"), fs::last_write_time(dir_ / "a.bmp"));
    EXPECT_LT(fs::last_write_time(dir_ / "b.bmp"), old + std::chrono::seconds(2));
    EXPECT_GT(fs::last_write_time(dir_ / "b.bmp"), old - std::chrono::seconds(2));
}

TEST_F(FileCopyTest, EmptySourceGivesEmptyCopy) {
    Write(dir_ / "empty", "");
    CopyFileWithDate(dir_ / "empty", dir_ / "copy");
    ASSERT_TRUE(fs::exists(dir_ / "copy"));
    EXPECT_EQ(fs::file_size(dir_ / "copy"), 0u);
}

TEST_F(FileCopyTest, MissingSourceCreatesNothingAndKeepsOldDestination) {
    CopyFileWithDate(dir_ / "missing", dir_ / "copy");
    EXPECT_FALSE(fs::exists(dir_ / "copy"));
    Write(dir_ / "old", "keep");
    CopyFileWithDate(dir_ / "missing", dir_ / "old");
    EXPECT_EQ(Read(dir_ / "old"), "keep");
}

TEST_F(FileCopyTest, ReplacesReadOnlyDestinationAndCopyOntoItselfKeepsContent) {
    Write(dir_ / "src", "new");
    Write(dir_ / "dst", "old content");
    fs::permissions(dir_ / "dst", fs::perms::owner_read);
    CopyFileWithDate(dir_ / "src", dir_ / "dst");
    // As root the write succeeds regardless; either way the result is writable after.
    EXPECT_EQ(Read(dir_ / "dst"), "new");
    EXPECT_TRUE((fs::status(dir_ / "dst").permissions() & fs::perms::owner_write) !=
                fs::perms::none);
    CopyFileWithDate(dir_ / "src", dir_ / "src");
    EXPECT_EQ(Read(dir_ / "src"), "new");
}

TEST_F(FileCopyTest, UnwritableDestinationLeavesNoPartialFile) {
    Write(dir_ / "src", "x");
    CopyFileWithDate(dir_ / "src", dir_ / "no-such-folder" / "dst");
    EXPECT_FALSE(fs::exists(dir_ / "no-such-folder" / "dst"));
}

#ifndef _WIN32
// A copy that fails keeps what was there: an older picture on a full disk (file size
// limit, which binds root too, in a child so the limit stays there), an empty folder
// of the output's name, a FIFO that would block the copy for ever.
TEST_F(FileCopyTest, FailedCopyKeepsTheOlderFileAndNeverBlocks) {
    Write(dir_ / "src", std::string(5000, 'n'));
    Write(dir_ / "older.bmp", "the user's older picture");
    EXPECT_EQ(test::ExitCodeInChild([&] {
                  std::signal(SIGXFSZ, SIG_IGN);
                  rlimit limit{1000, 1000};
                  setrlimit(RLIMIT_FSIZE, &limit);
                  return CopyFileWithDate(dir_ / "src", dir_ / "older.bmp") ==
                                 TFileProblem::WriteFailed
                             ? 0
                             : 1;
              }),
              0);
    EXPECT_EQ(Read(dir_ / "older.bmp"), "the user's older picture");

    fs::create_directory(dir_ / "folder.bmp");
    EXPECT_EQ(CopyFileWithDate(dir_ / "src", dir_ / "folder.bmp"), TFileProblem::NotRegular);
    EXPECT_TRUE(fs::is_directory(dir_ / "folder.bmp"));

    ASSERT_EQ(::mkfifo((dir_ / "fifo.bmp").c_str(), 0600), 0);
    EXPECT_EQ(test::ExitCodeInChild([&] {
                  const bool refused = CopyFileWithDate(dir_ / "src", dir_ / "fifo.bmp") ==
                                           TFileProblem::NotRegular &&
                                       CopyFileWithDate(dir_ / "fifo.bmp", dir_ / "new.bmp") ==
                                           TFileProblem::NotRegular;
                  return refused ? 0 : 1;
              }),
              0);
    EXPECT_FALSE(fs::exists(dir_ / "new.bmp"));
    EXPECT_EQ(fs::status(dir_ / "fifo.bmp").type(), fs::file_type::fifo);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"fifo.bmp", "folder.bmp", "older.bmp", "src"}));
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FileCopyTest, FailedCopyKeepsTheOlderFileAndNeverBlocks,
                            "FIFOs, fork and file size limits")
#endif

#ifndef _WIN32
TEST_F(FileCopyTest, CopyOntoItselfThroughAHardOrSymbolicLinkIsRefused) {
    Write(dir_ / "src", "picture");
    fs::create_hard_link(dir_ / "src", dir_ / "hard.bmp");
    fs::create_symlink(dir_ / "src", dir_ / "soft.bmp");
    EXPECT_EQ(CopyFileWithDate(dir_ / "src", dir_ / "hard.bmp"), TFileProblem::SameFile);
    EXPECT_EQ(CopyFileWithDate(dir_ / "soft.bmp", dir_ / "src"), TFileProblem::SameFile);
    EXPECT_EQ(Read(dir_ / "src"), "picture");
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FileCopyTest, CopyOntoItselfThroughAHardOrSymbolicLinkIsRefused,
                            "symbolic links")
#endif

#ifndef _WIN32
// On one volume the working file is renamed into place: its own date and bytes, the
// replaced file's permissions, a link at the destination followed; refusals as the
// copy's leave both files as they were.
TEST_F(FileCopyTest, MoveRenamesOnOneVolumeWithTheRulesOfTheCopy) {
    const fs::path work = dir_ / "work.bmp", out = dir_ / "out.bmp";
    Write(work, "picture");
    fs::last_write_time(work, fs::last_write_time(work) - std::chrono::hours(3));
    const auto date = fs::last_write_time(work);
    Write(out, "older");
    ::chmod(out.c_str(), 0640);
    EXPECT_EQ(MoveOrCopyFileWithDate(work, out), TFileProblem::None);
    EXPECT_FALSE(fs::exists(work));
    EXPECT_EQ(Read(out), "picture");
    EXPECT_EQ(fs::last_write_time(out), date);
    struct stat st;
    ASSERT_EQ(::stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u | S_IWUSR);

    // Through a link: the file it names is replaced, the link stays.
    Write(work, "second");
    fs::create_symlink(out, dir_ / "link.bmp");
    EXPECT_EQ(MoveOrCopyFileWithDate(work, dir_ / "link.bmp"), TFileProblem::None);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.bmp"));
    EXPECT_EQ(Read(out), "second");

    // Refused: a folder, a FIFO, the source itself, a source that is a link.
    Write(work, "third");
    fs::create_directory(dir_ / "folder.bmp");
    ASSERT_EQ(::mkfifo((dir_ / "fifo.bmp").c_str(), 0600), 0);
    EXPECT_EQ(MoveOrCopyFileWithDate(work, dir_ / "folder.bmp"), TFileProblem::NotRegular);
    EXPECT_EQ(MoveOrCopyFileWithDate(work, dir_ / "fifo.bmp"), TFileProblem::NotRegular);
    EXPECT_EQ(MoveOrCopyFileWithDate(work, work), TFileProblem::SameFile);
    EXPECT_EQ(MoveOrCopyFileWithDate(dir_ / "link.bmp", dir_ / "new.bmp"),
              TFileProblem::NotRegular);
    EXPECT_EQ(MoveOrCopyFileWithDate(dir_ / "none.bmp", out), TFileProblem::Missing);
    EXPECT_EQ(Read(work), "third");
    EXPECT_EQ(Read(out), "second");
    EXPECT_TRUE(fs::is_directory(dir_ / "folder.bmp"));
}

// To another volume (a memory file system, when there is one) it is a copy with the
// date, and the working file stays.
TEST_F(FileCopyTest, MoveCopiesToAnotherVolume) {
    struct stat here, there;
    if (::stat(dir_.c_str(), &here) != 0 || ::stat("/dev/shm", &there) != 0 ||
        here.st_dev == there.st_dev || ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second volume to write to";
    const fs::path work = dir_ / "work.bmp";
    const fs::path out = fs::path("/dev/shm") / ("veldra-move-" + dir_.filename().string());
    Write(work, std::string(3 * 1024 * 1024 + 17, 'p'));
    fs::last_write_time(work, fs::last_write_time(work) - std::chrono::hours(3));
    EXPECT_EQ(MoveOrCopyFileWithDate(work, out), TFileProblem::None);
    EXPECT_EQ(Read(out), Read(work));
    EXPECT_EQ(fs::last_write_time(out), fs::last_write_time(work));
    fs::remove(out);
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FileCopyTest, MoveRenamesOnOneVolumeWithTheRulesOfTheCopy,
                            "links and FIFOs")
VELDRA_SKIPPED_ON_WINDOWS_F(FileCopyTest, MoveCopiesToAnotherVolume, "/dev/shm")
#endif

}  // namespace
}  // namespace veldra
