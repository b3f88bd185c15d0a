#include "exchange/exchange_encoding.h"

#include <gtest/gtest.h>

#include "exchange/exchange_reader.h"
#include "exchange/exchange_writer.h"
#include "exchange/host_contract.h"
#include "tests/exchange/host_stand_in.h"

namespace veldra {
namespace {

// "図面" and "あ" in both encodings. UTF-8 "図面" happens to be valid code page 932 text
// as well; UTF-8 "あ" at the end of a line is not (its last byte reads as a cut-off
// lead byte).
const std::string kZumenSjis = "\x90\x7d\x96\xca";
const std::string kZumenUtf8 = "\xE5\x9B\xB3\xE9\x9D\xA2";
const std::string kASjis = "\x82\xA0";
const std::string kAUtf8 = "\xE3\x81\x82";
const std::string kBom = "\xEF\xBB\xBF";

struct TReadBack {
    TJwwEntityStore store;
    std::string handBack;  // the hand-back of a picture text, as the host would get it
};

TReadBack ReadAndHandBack(const std::string& file) {
    TReadBack r;
    InitStore(r.store);
    ReadExchangeBytes(r.store, file);
    AddTextCommand(r.store, 0, PictureText("C:\\" + kZumenSjis + "\\a.bmp", 10), 1, 2, 1, 0);
    r.handBack = ExchangeFileBytes(r.store);
    return r;
}

TEST(ExchangeEncoding, ShiftJisStaysTheDefaultAndIsHandedBackUnchanged) {
    // Shift-JIS text, also when some of it would be valid UTF-8 (half-width katakana).
    const TReadBack r = ReadAndHandBack("file=C:\\" + kZumenSjis +
                                        "\\p.jww\r\nch 0 0 1 0 \"\xC3\xA9" + kASjis + "\r\n");
    EXPECT_EQ(r.store.encoding, TExchangeEncoding::ShiftJis);
    EXPECT_EQ(r.store.state.filePath, "C:\\" + kZumenSjis + "\\p.jww");
    ASSERT_EQ(r.store.texts.size(), 1u);
    EXPECT_EQ(r.store.texts[0].text, "\xC3\xA9" + kASjis);
    EXPECT_FALSE(r.store.textReplaced);
    EXPECT_EQ(r.handBack, "ch 1 2 1 0 \"^@BMC:\\" + kZumenSjis + "\\a.bmp,10.000\r\n");
    // UTF-8 that is valid code page 932 text too is read as Shift-JIS.
    EXPECT_EQ(ReadAndHandBack("ch 0 0 1 0 \"" + kZumenUtf8 + "\r\n").store.encoding,
              TExchangeEncoding::ShiftJis);
}

TEST(ExchangeEncoding, ByteOrderMarkMeansUtf8AndTheHandBackKeepsIt) {
    const TReadBack r = ReadAndHandBack(kBom + "file=C:\\" + kZumenUtf8 +
                                        "\\p.jww\r\nch 0 0 1 0 \"" + kZumenUtf8 + "\r\n");
    EXPECT_EQ(r.store.encoding, TExchangeEncoding::Utf8WithBom);
    // Inside, texts and names are code page 932 as always.
    EXPECT_EQ(r.store.state.filePath, "C:\\" + kZumenSjis + "\\p.jww");
    ASSERT_EQ(r.store.texts.size(), 1u);
    EXPECT_EQ(r.store.texts[0].text, kZumenSjis);
    EXPECT_FALSE(r.store.textReplaced);
    EXPECT_EQ(r.handBack, kBom + "ch 1 2 1 0 \"^@BMC:\\" + kZumenUtf8 + "\\a.bmp,10.000\r\n");
    // Nothing to hand back: "hq", still after the mark.
    TJwwEntityStore empty;
    InitStore(empty);
    ReadExchangeBytes(empty, kBom + "hq\r\n");
    EXPECT_EQ(ExchangeFileBytes(empty), kBom + "hq\r\n");
}

TEST(ExchangeEncoding, Utf8ThatCannotBeShiftJisIsReadAsUtf8) {
    const TReadBack r = ReadAndHandBack("bz\r\nch 0 0 1 0 \"" + kZumenUtf8 + kAUtf8 + "\r\n");
    EXPECT_EQ(r.store.encoding, TExchangeEncoding::Utf8);
    ASSERT_EQ(r.store.texts.size(), 1u);
    EXPECT_EQ(r.store.texts[0].text, kZumenSjis + kASjis);
    EXPECT_TRUE(r.store.state.bzFlag);
    EXPECT_EQ(r.handBack, "ch 1 2 1 0 \"^@BMC:\\" + kZumenUtf8 + "\\a.bmp,10.000\r\n");
    // One line that is no UTF-8 keeps the whole file Shift-JIS.
    EXPECT_EQ(ReadAndHandBack("ch 0 0 1 0 \"" + kAUtf8 + "\r\nch 0 0 1 0 \"\x82\xA0\xFF\r\n")
                  .store.encoding,
              TExchangeEncoding::ShiftJis);
}

// A mark followed by bytes that are no UTF-8, or by characters code page 932 lacks: the
// file is still read (the characters become '?', and the store says so); the hand-back
// stays UTF-8.
TEST(ExchangeEncoding, BrokenUtf8AfterTheMarkIsReadWithReplacementsAndReported) {
    const TReadBack r = ReadAndHandBack(kBom + "ch 0 0 1 0 \"a\xFF\xE3\x81" + "b\r\nci 0 0 5\r\n" +
                                        "ch 0 0 1 0 \"\xF0\x9F\x98\x80\r\n");
    EXPECT_EQ(r.store.encoding, TExchangeEncoding::Utf8WithBom);
    EXPECT_TRUE(r.store.textReplaced);
    ASSERT_EQ(r.store.texts.size(), 2u);
    EXPECT_EQ(r.store.texts[0].text, "a??b");
    EXPECT_EQ(r.store.texts[1].text, "?");
    EXPECT_EQ(r.store.circles.size(), 1u);  // nothing after the broken bytes is lost
    EXPECT_EQ(r.handBack.substr(0, 3), kBom);
}

TEST(ExchangeEncoding, HostFileInUtf8IsReadFromDiskAndRewrittenInUtf8) {
    test::TTempFolder temp;
    const std::filesystem::path file = ExchangeFilePath(temp.path());
    test::WriteBytes(file, kBom + "bz\r\nch 0 0 1 0 \"" + kAUtf8 + "\r\n");
    TJwwEntityStore store;
    TFileProblem problem = TFileProblem::ReadFailed;
    ASSERT_TRUE(LoadSelection(store, file, &problem));
    EXPECT_EQ(problem, TFileProblem::None);
    EXPECT_EQ(store.encoding, TExchangeEncoding::Utf8WithBom);
    ASSERT_EQ(store.texts.size(), 1u);
    EXPECT_EQ(store.texts[0].text, kASjis);
    ASSERT_TRUE(HandBackToHost(store, temp.path()));
    EXPECT_EQ(test::ReadBytes(file), kBom + "bz\r\n");
}

}  // namespace
}  // namespace veldra
