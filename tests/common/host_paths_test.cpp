// Program folders the host may be installed in, through the paths the front ends make
// (PathFromUtf8/PathFromUtf16): longer than MAX_PATH, or named in characters code page
// 932 lacks. The exchange file is read from them and the hand-back lands in them.

#include <gtest/gtest.h>

#include <algorithm>

#include "common/code_page_932.h"
#include "common/file_system.h"
#include "exchange/exchange_reader.h"
#include "exchange/exchange_writer.h"
#include "exchange/host_contract.h"
#include "tests/exchange/host_stand_in.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

// Reads a selection of one circle from the folder and hands "bz" back into it.
void ExpectRoundTripIn(const fs::path& folder) {
    std::error_code ec;
    ASSERT_TRUE(fs::create_directories(folder, ec)) << ec.message();
    ASSERT_EQ(ReplaceFileContent(ExchangeFilePath(folder), "bz\r\nci 0 0 5\r\n"),
              TFileProblem::None);
    TJwwEntityStore store;
    TFileProblem problem = TFileProblem::ReadFailed;
    ASSERT_TRUE(LoadHostSelection(store, folder, &problem));
    EXPECT_EQ(problem, TFileProblem::None);
    EXPECT_EQ(store.circles.size(), 1u);
    ASSERT_TRUE(HandBackToHost(store, folder));
    EXPECT_EQ(ReadWholeFile(ExchangeFilePath(folder), 100).bytes, "bz\r\n");
    EXPECT_EQ(RemoveFileOrLink(ExchangeFilePath(folder)), TFileProblem::None);
}

// 320 characters of folder names: beyond MAX_PATH (260) on Windows.
TEST(HostPaths, ProgramFolderLongerThanMaxPath) {
    test::TTempFolder temp;
    std::string longName = Utf8FromPath(temp.path());
    for (int i = 0; i < 8; ++i) longName += "/" + std::string(39, static_cast<char>('a' + i));
    ASSERT_GT(longName.size(), 300u);
    const fs::path folder = PathFromUtf8(longName);
    ExpectRoundTripIn(folder);
    // Shown and handed on without the Windows extended-length prefix (which needs
    // backslashes).
#ifdef _WIN32
    std::replace(longName.begin(), longName.end(), '/', '\\');
#endif
    EXPECT_EQ(Utf8FromPath(folder), longName);
}

// "図面" and "café😀": Japanese and characters no code page holds. On Windows the names
// go to the wide file API; a narrow path would be the ANSI code page's.
TEST(HostPaths, ProgramFolderNamedInJapaneseOrOutsideCodePage932) {
    test::TTempFolder temp;
    const std::string base = Utf8FromPath(temp.path());
    const fs::path japanese = PathFromUtf8(base + "/\xE5\x9B\xB3\xE9\x9D\xA2");
    ExpectRoundTripIn(japanese);
    EXPECT_EQ(CodePage932FromUtf8(Utf8FromPath(japanese.filename())).bytes, "\x90\x7d\x96\xca");

    const fs::path other = PathFromUtf8(base + "/caf\xC3\xA9\xF0\x9F\x98\x80");
    ExpectRoundTripIn(other);
    EXPECT_FALSE(CodePage932FromUtf8(Utf8FromPath(other)).exact);  // no code page 932 form
    EXPECT_EQ(Utf8FromPath(other.filename()), "caf\xC3\xA9\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace veldra
