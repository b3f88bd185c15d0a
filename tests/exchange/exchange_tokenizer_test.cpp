#include "exchange/exchange_tokenizer.h"

#include <gtest/gtest.h>

#include <vector>

namespace veldra {
namespace {

std::vector<std::string> Fields(std::string_view line) {
    TExchangeFields f = TokenizeExchangeLine(line);
    return {f.fields.begin(), f.fields.begin() + f.count};
}

TEST(ExchangeTokenizer, BlanksAndTabsSeparateLikeOne) {
    EXPECT_EQ(Fields("  ci\t 1   2 3"), (std::vector<std::string>{"ci", "1", "2", "3"}));
    // A trailing blank opens one more, empty, field.
    EXPECT_EQ(Fields("ci 0 0 5 ").size(), 5u);
    EXPECT_TRUE(TokenizeExchangeLine("").IsBlank());
    EXPECT_TRUE(TokenizeExchangeLine("   \t ").IsBlank());
    EXPECT_FALSE(TokenizeExchangeLine("#").IsBlank());
}

TEST(ExchangeTokenizer, QuoteMakesTheRestOneFieldAndIsDropped) {
    // "ch 0 0 1 0 " + '"' + "ＡＢ C": blanks after the quote stay in the text.
    EXPECT_EQ(Fields("ch 0 0 1 0 \"\x82\x60\x82\x61 C\t\"x=y"),
              (std::vector<std::string>{"ch", "0", "0", "1", "0", "\x82\x60\x82\x61 C\"x=y"}));
    EXPECT_EQ(Fields("ch 0 0 1 0 AB C")[5], "AB");
    // A quote glued to a keyword joins what follows to field 0.
    EXPECT_EQ(Fields("cn\"$<a b>")[0], "cn$<a b>");
}

TEST(ExchangeTokenizer, EqualsSignKeepsItselfAndTheRest) {
    EXPECT_EQ(Fields("file=C:\\My Drawings\\a.jww"),
              (std::vector<std::string>{"file=C:\\My Drawings\\a.jww"}));
    EXPECT_EQ(Fields("x y=1 \"2"), (std::vector<std::string>{"x", "y=1 \"2"}));
}

TEST(ExchangeTokenizer, TrailBytesAreNeverTakenForSyntax) {
    // 表 is 0x95 0x5C, ソ is 0x83 0x5C; 0x81 0x22 and 0x81 0x3D / 0x81 0x20 carry a
    // quote, an equals sign and a blank as trail bytes.
    EXPECT_EQ(Fields("BL 1 2 \x95\x5C\x83\x5C"),
              (std::vector<std::string>{"BL", "1", "2", "\x95\x5C\x83\x5C"}));
    EXPECT_EQ(Fields("a\x81\x22 b\x81\x3D c\x81\x20 d"),
              (std::vector<std::string>{"a\x81\x22", "b\x81\x3D", "c\x81\x20", "d"}));
    // A lead byte at the very end has no trail byte and is dropped.
    EXPECT_EQ(Fields("ab\x82"), (std::vector<std::string>{"ab"}));
    // Half-width katakana (0xA1..0xDF) are single bytes.
    EXPECT_EQ(Fields("\xB1 \xB2"), (std::vector<std::string>{"\xB1", "\xB2"}));
}

TEST(ExchangeTokenizer, ControlBytesAndFeFfAreDropped) {
    EXPECT_EQ(Fields(std::string("a\x01\x00\xFE\xFF"
                                 "b\r",
                                 7)),
              (std::vector<std::string>{"ab"}));
    // A tab inside a text (splitting off) is dropped, a blank is kept.
    EXPECT_EQ(Fields("t \"a\tb c")[1], "ab c");
}

TEST(ExchangeTokenizer, WordsBeyondThirtyTwoFieldsAreIgnored) {
    std::string line;
    for (int i = 0; i < 40; ++i) line += std::to_string(i) + " ";
    TExchangeFields f = TokenizeExchangeLine(line);
    EXPECT_EQ(f.count, kMaxExchangeFields);
    EXPECT_EQ(f[31], "31");
    EXPECT_EQ(f[32], "");
    EXPECT_EQ(f[-1], "");
}

TEST(ExchangeLineSplitter, AcceptsCrLfLfAndCrAcrossChunks) {
    std::vector<std::string> lines;
    TExchangeLineSplitter splitter;
    auto collect = [&](std::string_view l) { lines.emplace_back(l); };
    splitter.Feed("a\r", collect);
    splitter.Feed("\nb\n\nc\rd", collect);
    splitter.Finish(collect);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "", "c", "d"}));
    lines.clear();
    splitter.Feed(std::string(kMaxExchangeLineBytes + 10, 'x') + "\ny", collect);
    splitter.Finish(collect);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), kMaxExchangeLineBytes);
    EXPECT_EQ(lines[1], "y");
}

}  // namespace
}  // namespace veldra
