#include "common/code_page_932.h"

#include <gtest/gtest.h>

#include "common/file_system.h"
#include "exchange/exchange_reader.h"
#include "exchange/exchange_writer.h"
#include "tests/exchange/host_stand_in.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;
using test::TTempFolder;

// "図面テスト.txt" and the folder "図面" as the host writes them: code page 932 bytes.
const std::string kDrawingName = "\x90\x7d\x96\xca\x83\x65\x83\x58\x83\x67.txt";
const std::string kFolderName = "\x90\x7d\x96\xca";
const std::string kDrawingNameUtf8 =
    "\xE5\x9B\xB3\xE9\x9D\xA2\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.txt";

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The native path of a code page 932 name the way the fill reaches the drawing's folder:
// through UTF-8 (fill/fill_pipeline.cpp).
fs::path NativePath(std::string_view bytes) {
    return PathFromUtf8(Utf8FromCodePage932(bytes));
}

// Whether the bytes are exactly code page 932 text; the fill refuses a drawing folder
// that is not.
bool ExactText(std::string_view bytes) {
    bool exact = true;
    Utf8FromCodePage932(bytes, &exact);
    return exact;
}

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(Utf8(entry.path().filename()));
    return names;
}

TEST(CodePagePath, ConvertsShiftJisAndRefusesBrokenBytes) {
    ASSERT_TRUE(ExactText(kDrawingName));
    const fs::path path = NativePath(kDrawingName);
    EXPECT_EQ(Utf8(path), kDrawingNameUtf8);
#ifdef _WIN32
    EXPECT_EQ(path.native(), L"\u56f3\u9762\u30c6\u30b9\u30c8.txt");  // UTF-16 for the wide API
#endif
    EXPECT_EQ(Utf8(NativePath("plain.bmp")), "plain.bmp");
    EXPECT_EQ(NativePath(""), fs::path());
    // A lead byte without its trail byte is no name at all, not a guess.
    EXPECT_FALSE(ExactText("\x90\x7d\x96"));
    EXPECT_FALSE(ExactText(std::string("a\x81", 2)));
}

// The whole life of a file with a Japanese name: created by rename, read, renamed,
// known by identity under two names, removed. The folder holds the real characters,
// not the code page 932 bytes read as another code page.
TEST(CodePagePath, JapaneseFileNameIsCreatedReadRenamedAndKnownByIdentity) {
    TTempFolder temp;
    const fs::path folder = temp.path() / NativePath(kFolderName);
    ASSERT_TRUE(fs::create_directory(folder));
    const fs::path file = folder / NativePath(kDrawingName);

    ASSERT_EQ(ReplaceFileContent(file, "ci 0 0 1\r\n"), TFileProblem::None);
    EXPECT_EQ(NamesIn(folder), std::vector<std::string>{kDrawingNameUtf8});
    EXPECT_EQ(FileKindOf(file), TFileKind::Regular);
    EXPECT_EQ(ReadWholeFile(file, 100).bytes, "ci 0 0 1\r\n");

    const std::optional<TFileIdentity> identity = FileIdentityOf(file);
    ASSERT_TRUE(identity);
    const fs::path renamed = folder / NativePath("\x90\x7d\x96\xca\x82\x51.txt");
    fs::rename(file, renamed);
    EXPECT_FALSE(NameExists(file));
    EXPECT_EQ(FileIdentityOf(renamed), identity);  // the same file under its new name
    TInputFile in;
    ASSERT_EQ(in.Open(renamed), TFileProblem::None);
    EXPECT_EQ(in.Identity(), *identity);
    EXPECT_EQ(in.Size(), 10u);
    in.Close();

    fs::create_hard_link(renamed, file);
    EXPECT_TRUE(SameFile(file, renamed));
    ASSERT_EQ(ReplaceFileContent(file, "hq\r\n"), TFileProblem::None);
    EXPECT_FALSE(SameFile(file, renamed));  // replacing puts a new file under the name
    EXPECT_EQ(ReadWholeFile(renamed, 100).bytes, "ci 0 0 1\r\n");

    EXPECT_EQ(RemoveFileOrLink(renamed), TFileProblem::None);
    EXPECT_EQ(RemoveFileOrLink(file), TFileProblem::None);
    EXPECT_TRUE(fs::is_empty(folder));
}

// The host's program folder may be named in kanji: the exchange file is read from it
// and the hand-back lands in it.
TEST(CodePagePath, ExchangeFileInAJapaneseFolder) {
    TTempFolder temp;
    const fs::path folder = temp.path() / NativePath(kFolderName);
    ASSERT_TRUE(fs::create_directory(folder));
    const fs::path exchange = folder / "JWC_TEMP.TXT";
    test::WriteBytes(exchange, "hq\r\nci 0 0 5\r\n");
    TJwwEntityStore store;
    InitStore(store);
    ASSERT_TRUE(ReadExchangeFile(store, exchange));
    EXPECT_EQ(store.circles.size(), 1u);
    ASSERT_TRUE(WriteExchangeFile(store, exchange));
    EXPECT_EQ(test::ReadBytes(exchange), "hq\r\n");
}

}  // namespace
}  // namespace veldra
