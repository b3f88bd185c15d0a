#include "common/file_copy.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

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
    EXPECT_EQ(fs::last_write_time(dir_ / "b.bmp"), old);
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

}  // namespace
}  // namespace veldra
