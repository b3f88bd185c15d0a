// Reading whole files: missing and odd paths, line ends, and files the host wrote.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "exchange/exchange_reader.h"
#include "tests/exchange/host_stand_in.h"
#include "tests/posix_only.h"

namespace veldra {
namespace {

using test::TTempFolder;
using test::WriteBytes;

TEST(ReadExchangeFile, MissingFileOrFolderReadsNothing) {
    TTempFolder temp;
    TJwwEntityStore store;
    InitStore(store);
    EXPECT_FALSE(ReadExchangeFile(store, temp.path() / "JWC_TEMP.TXT"));
    EXPECT_FALSE(ReadExchangeFile(store, temp.path()));
    EXPECT_EQ(store.EntityCount(), 0u);
    EXPECT_EQ(store.state.groupScale[0], 1.0);
}

TEST(ReadExchangeFile, CrLfLfAndCrGiveTheSameStore) {
    TTempFolder temp;
    const std::string lines[] = {"lc3", "ci 0 0 5", "ch 1 2 1 0 \"\x82\xA0 b", "1 2 3 4"};
    TJwwEntityStore stores[3];
    const char* ends[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 3; ++i) {
        std::string bytes;
        for (const auto& l : lines) bytes += l + ends[i];
        bytes.pop_back();  // the last line may lack its end
        WriteBytes(temp.path() / "x.txt", bytes);
        InitStore(stores[i]);
        TExchangeReadStats stats;
        ASSERT_TRUE(ReadExchangeFile(stores[i], temp.path() / "x.txt", &stats));
        EXPECT_EQ(stats.lines, 4);
        ASSERT_EQ(stores[i].EntityCount(), 3u);
        EXPECT_EQ(stores[i].texts[0].text, "\x82\xA0 b");
        EXPECT_EQ(stores[i].lines[0].y2, 4.0);
        EXPECT_EQ(stores[i].circles[0].head.color, 3);
    }
}

TEST(ReadExchangeFile, BundledSampleHoldsEveryKind) {
    TJwwEntityStore store;
    InitStore(store);
    TExchangeReadStats stats;
    ASSERT_TRUE(
        ReadExchangeFile(store, std::string(VELDRA_SOURCE_DIR) + "/samples/all_kinds.txt", &stats));
    for (int k = 1; k <= kEntityKindCount; ++k)
        EXPECT_GE(store.CountOf(static_cast<EntityKind>(k)), 1u) << "kind " << k;
    EXPECT_EQ(stats.ignored, 1);  // the host's leading "hq"
    EXPECT_FALSE(store.state.bzFlag);
    EXPECT_NE(store.state.filePath.find("\x90\x7d"), std::string::npos);
}

// Files the host wrote for another external command: header values only, LF line ends.
TEST(ReadExchangeFile, RealHostFilesReadAsWritten) {
    const std::filesystem::path folder = std::string(VELDRA_SHARED_DIR) + "/real-exchange";
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no " << folder;
    int hostFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".txt") continue;
        SCOPED_TRACE(entry.path().filename().string());
        TJwwEntityStore store;
        InitStore(store);
        ASSERT_TRUE(ReadExchangeFile(store, entry.path()));
        const std::string name = entry.path().filename().string();
        // What the other tool wrote back (debug text) is garbage input: read, never crash.
        if (name.starts_with("fuji_gJ_") || name == "fuji_sJ_ceb7402.txt") continue;
        ++hostFiles;
        const TJwwDrawingState& s = store.state;
        EXPECT_EQ(store.EntityCount(), 0u);
        // Every "hpN" / "hpN-" line stores one reference point.
        const std::string bytes = test::ReadBytes(entry.path());
        int hpLines = bytes.starts_with("hp") ? 1 : 0;
        for (size_t at = bytes.find("\nhp"); at != std::string::npos;
             at = bytes.find("\nhp", at + 1))
            ++hpLines;
        EXPECT_EQ(s.refPointCount, hpLines);
        for (const TJwwRefPoint& p : s.refPoints) EXPECT_TRUE(p.tag == 0 || p.tag == 1);
        EXPECT_GE(s.groupScale[1], 250.0);  // 250, 600 or 1e+06 in these drawings
        EXPECT_EQ(s.charKinds[2].width, 2.5);
        EXPECT_FALSE(s.firstLg);
        EXPECT_EQ(s.curColor, 2);
        EXPECT_FALSE(s.curFontName.empty());
        EXPECT_EQ(s.curFontName, s.firstFontName);
    }
    EXPECT_GE(hostFiles, 20);
}

TEST(ReadExchangeFile, RealHostFileValuesComeOutExactly) {
    const std::filesystem::path file =
        std::string(VELDRA_SHARED_DIR) + "/real-exchange/fuji_r1_0757b0b.txt";
    if (!std::filesystem::is_regular_file(file)) GTEST_SKIP() << "no " << file;
    TJwwEntityStore store;
    InitStore(store);
    ASSERT_TRUE(ReadExchangeFile(store, file));
    const TJwwDrawingState& s = store.state;
    EXPECT_EQ(s.groupScale[15], 250.0);
    EXPECT_EQ(s.charKinds[10].height, 3.0);
    EXPECT_EQ(s.charKinds[10].color, 2);
    EXPECT_EQ(s.refPoints[2].x, -40496.8595011236);
    EXPECT_EQ(s.refPoints[2].tag, 0);
    EXPECT_EQ(s.refPointCount, 4);
    EXPECT_EQ(s.curCharKind, 0);
    EXPECT_EQ(s.curCharKind0.spacing, 0.5);
    EXPECT_EQ(s.curFontName, "<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>");
}

#ifndef _WIN32
// A FIFO or a device under the exchange file's name is refused at once: a FIFO
// without a writer never blocks the start, a device is never read as a selection.
TEST(ReadExchangeFile, FifoAndDeviceAreRefusedWithoutWaiting) {
    TTempFolder temp;
    const auto fifo = temp.path() / "JWC_TEMP.TXT";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(test::ExitCodeInChild([&] {
                  TJwwEntityStore store;
                  InitStore(store);
                  TFileProblem problem = TFileProblem::None;
                  const bool read = ReadExchangeFile(store, fifo, nullptr, &problem);
                  return !read && problem == TFileProblem::NotRegular ? 0 : 1;
              }),
              0);
    TJwwEntityStore store;
    InitStore(store);
    TFileProblem problem = TFileProblem::None;
    EXPECT_FALSE(ReadExchangeFile(store, "/dev/zero", nullptr, &problem));
    EXPECT_EQ(problem, TFileProblem::NotRegular);
    std::filesystem::create_symlink("/dev/null", temp.path() / "link.txt");
    EXPECT_FALSE(ReadExchangeFile(store, temp.path() / "link.txt", nullptr, &problem));
    EXPECT_EQ(problem, TFileProblem::NotRegular);
    EXPECT_FALSE(ReadExchangeFile(store, temp.path() / "none.txt", nullptr, &problem));
    EXPECT_EQ(problem, TFileProblem::Missing);
}
#else
VELDRA_SKIPPED_ON_WINDOWS(ReadExchangeFile, FifoAndDeviceAreRefusedWithoutWaiting,
                          "FIFOs, fork, /dev and symbolic links")
#endif

}  // namespace
}  // namespace veldra
