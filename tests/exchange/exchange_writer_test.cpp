#include "exchange/exchange_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "tests/exchange/host_stand_in.h"
#include "tests/posix_only.h"

namespace veldra {
namespace {

using test::ReadBytes;
using test::TTempFolder;

TEST(ExchangeWriter, GeneralNumberFormat) {
    EXPECT_EQ(FormatGeneral(1.0), "1");
    EXPECT_EQ(FormatGeneral(0.0), "0");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(-12.5), "-12.5");
    EXPECT_EQ(FormatGeneral(1234.56789), "1234.56789");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(2.0 / 3.0 * 1000), "666.666666666667");
    EXPECT_EQ(FormatGeneral(100000), "100000");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");  // 15 digits hide the binary noise
    EXPECT_EQ(FormatGeneral(0.00001), "0.00001");
    EXPECT_EQ(FormatGeneral(999999999999999.0), "999999999999999");
    EXPECT_EQ(FormatGeneral(9999999999999999.0), "1E+16");
    EXPECT_EQ(FormatGeneral(-1.5e-7), "-1.5E-7");
    EXPECT_EQ(FormatGeneral(1e300), "1E+300");
}

TEST(ExchangeWriter, TextCommandsNeedDirectionAndText) {
    TJwwEntityStore store;
    InitStore(store);
    AddTextCommand(store, 0, "a", 1, 2, 0, 0);
    AddTextCommand(store, 0, " \x81\x40\t", 1, 2, 1, 0);  // blanks only, full-width too
    AddTextCommand(store, 0, "a", NAN, 2, 1, 0);
    EXPECT_TRUE(store.outputLines.empty());
    AddTextCommand(store, 7, " a ", 1, 2, 0, 1e-7);
    AddTextCommand(store, 12, "b", -0.5, 1.0 / 3.0, 1, 0);
    EXPECT_EQ(store.outputLines,
              (std::vector<std::string>{"ck 1 2 0 1E-7 \"", " a ",
                                        "ch -0.5 0.333333333333333 1 0 \"", "b"}));
    EXPECT_STREQ(TextCommandKeyword(9), "c2");
    EXPECT_STREQ(TextCommandKeyword(-1), "ch");
}

TEST(ExchangeWriter, PictureTextAndTheLengthLimit) {
    EXPECT_EQ(PictureText("D:\\work\\fill.bmp", 120), "^@BMD:\\work\\fill.bmp,120.000");
    EXPECT_EQ(PictureText("a.bmp", 0.0005), "^@BMa.bmp,0.001");
    TJwwEntityStore store;
    InitStore(store);
    AddOutputLine(store, std::string(300, 'x'));
    EXPECT_EQ(store.outputLines[0].size(), 255u);
}

TEST(ExchangeWriter, FileBytesFollowTheJoiningRule) {
    TTempFolder temp;
    const auto file = temp.path() / "JWC_TEMP.TXT";
    TJwwEntityStore store;
    InitStore(store);
    ASSERT_TRUE(WriteExchangeFile(store, file));
    EXPECT_EQ(ReadBytes(file), "hq\r\n");

    AddOutputLine(store, "bz");
    AddTextCommand(store, 0, "t1\"", 1, 2, 1, 0);  // a text ending in a quote still ends the line
    AddTextCommand(store, 3, "t2", 3, 4, 0, 1);
    ASSERT_TRUE(WriteExchangeFile(store, file));
    EXPECT_EQ(ReadBytes(file), "bz\r\nch 1 2 1 0 \"t1\"\r\ncr 3 4 0 1 \"t2\r\n");

    // A quote-ended last entry ends the file without a line end.
    AddOutputLine(store, "end \"");
    ASSERT_TRUE(WriteExchangeFile(store, file));
    EXPECT_EQ(ReadBytes(file), "bz\r\nch 1 2 1 0 \"t1\"\r\ncr 3 4 0 1 \"t2\r\nend \"");
}

TEST(ExchangeWriter, FailureLeavesNoFileAndNeverRemovesAFolder) {
    TTempFolder temp;
    TJwwEntityStore store;
    InitStore(store);
    EXPECT_FALSE(WriteExchangeFile(store, temp.path() / "missing" / "JWC_TEMP.TXT"));
    EXPECT_FALSE(WriteExchangeFile(store, temp.path()));
    EXPECT_TRUE(std::filesystem::is_directory(temp.path()));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(WriteExchangeFile(store, "/dev/full"));
        EXPECT_TRUE(std::filesystem::exists("/dev/full"));
    }
}

#ifndef _WIN32
// The hand-back goes to a temporary name and is renamed over the host's file: what
// is not a regular file under the exchange file's name is refused without blocking
// and left as it is; a link is followed to the host's file.
TEST(ExchangeWriter, HandBackNeverBlocksAndNeverWritesIntoADeviceOrFolder) {
    TTempFolder temp;
    TJwwEntityStore store;
    InitStore(store);
    const auto fifo = temp.path() / "fifo" / "JWC_TEMP.TXT";
    std::filesystem::create_directory(fifo.parent_path());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(test::ExitCodeInChild([&] { return WriteExchangeFile(store, fifo) ? 1 : 0; }), 0);
    EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(fifo.parent_path()), {}), 1);

    // A device "written" would be a hand-back reported that the host never gets.
    const auto device = temp.path() / "JWC_TEMP.TXT";
    std::filesystem::create_symlink("/dev/null", device);
    EXPECT_FALSE(WriteExchangeFile(store, device));
    EXPECT_TRUE(std::filesystem::is_symlink(device));

    const auto folder = temp.path() / "folder" / "JWC_TEMP.TXT";
    std::filesystem::create_directories(folder);
    EXPECT_FALSE(WriteExchangeFile(store, folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    // A folder on the way that is a regular file stops even root.
    test::WriteBytes(temp.path() / "plain", "p");
    EXPECT_FALSE(WriteExchangeFile(store, temp.path() / "plain" / "JWC_TEMP.TXT"));
    EXPECT_EQ(ReadBytes(temp.path() / "plain"), "p");

    const auto linked = temp.path() / "linked";
    std::filesystem::create_directory(linked);
    test::WriteBytes(linked / "host.txt", "ci 0 0 1\r\n");
    std::filesystem::create_symlink(linked / "host.txt", linked / "JWC_TEMP.TXT");
    ASSERT_TRUE(WriteExchangeFile(store, linked / "JWC_TEMP.TXT"));
    EXPECT_EQ(ReadBytes(linked / "host.txt"), "hq\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(linked), {}), 2);
}
#else
VELDRA_SKIPPED_ON_WINDOWS(ExchangeWriter, HandBackNeverBlocksAndNeverWritesIntoADeviceOrFolder,
                          "FIFOs, /dev and symbolic links")
#endif

#ifndef _WIN32
// A write that fails half-way (file size limit) deletes the partial file. Run in a
// child process so the limit does not touch the test runner.
TEST(ExchangeWriter, PartialFileIsDeleted) {
    TTempFolder temp;
    const auto file = temp.path() / "JWC_TEMP.TXT";
    test::WriteBytes(file, "the host's selection\r\n");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        TJwwEntityStore store;
        InitStore(store);
        for (int i = 0; i < 20; ++i) AddTextCommand(store, 0, "text", i, i, 1, 0);
        _exit(WriteExchangeFile(store, file) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write should have failed";
    EXPECT_FALSE(std::filesystem::exists(file));
}
#else
VELDRA_SKIPPED_ON_WINDOWS(ExchangeWriter, PartialFileIsDeleted, "fork and file size limits")
#endif

}  // namespace
}  // namespace veldra
