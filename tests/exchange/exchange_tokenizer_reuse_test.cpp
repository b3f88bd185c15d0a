// The reader's fast ways through its input: fields in a reused buffer, and lines
// handed over in place when a chunk holds them whole. Both must give what the plain
// ways give, whatever the chunk borders and whatever the previous line was.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "exchange/exchange_tokenizer.h"

namespace veldra {
namespace {

// Line ends the plain way, byte by byte: LF, CR LF or a lone CR.
std::vector<std::string> LinesByteByByte(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    bool afterCr = false;
    for (char c : text) {
        if (afterCr && c == '\n') {
            afterCr = false;
            continue;
        }
        afterCr = c == '\r';
        if (c == '\n' || c == '\r') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

TEST(ExchangeLineSplitter, EveryChunkSizeGivesTheSameLines) {
    const std::string text =
        "hs 1 2\r\nci 0 0 5\n\n\r\r\nch 1 2 1 0 \"\x95\x94\x89\xae\r1 2 3 4\r\n\r\nlast";
    const std::vector<std::string> expected = LinesByteByByte(text);
    for (size_t chunk = 1; chunk <= text.size(); ++chunk) {
        std::vector<std::string> lines;
        TExchangeLineSplitter splitter;
        auto collect = [&](std::string_view l) { lines.emplace_back(l); };
        for (size_t at = 0; at < text.size(); at += chunk) {
            splitter.Feed(std::string_view(text).substr(at, chunk), collect);
        }
        splitter.Finish(collect);
        ASSERT_EQ(lines, expected) << "chunks of " << chunk;
    }
}

TEST(ExchangeLineSplitter, ManyLinesEndedByALoneCrAreAllFound) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += std::to_string(i) + " 0 1 1\r";
    text += "end\n";
    size_t lines = 0;
    TExchangeLineSplitter splitter;
    splitter.Feed(text, [&](std::string_view) { ++lines; });
    EXPECT_EQ(lines, 20001u);
}

std::vector<std::string> Copy(const TExchangeFields& f) {
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(f.count));
    for (int i = 0; i < f.count; ++i) out.emplace_back(f[i]);
    return out;
}

TEST(ExchangeTokenizer, AReusedFieldSetForgetsTheLineBefore) {
    const std::string lines[] = {
        "a b c d e f g h i j k l m n o p q r s t u v w x y z 1 2 3 4 5 6 7 8 9",
        "ci 0 0 5",
        "",
        "ch 1 2 1 0 \"\x82\x60 B\tC",
        "   ",
        std::string(300, 'x') + " y",
        "BL 1 2 \x95\x5C",
    };
    TExchangeFields reused;
    for (const std::string& line : lines) {
        TokenizeExchangeLine(line, reused);
        const TExchangeFields fresh = TokenizeExchangeLine(line);
        ASSERT_EQ(Copy(reused), Copy(fresh)) << line;
        EXPECT_EQ(reused.IsBlank(), fresh.IsBlank());
        EXPECT_EQ(reused[reused.count], "");
    }
}

TEST(ExchangeTokenizer, ACopyKeepsItsFieldsWhenTheOriginalChanges) {
    TExchangeFields original = TokenizeExchangeLine("ch 10 20 1 0 \"text after a quote");
    const TExchangeFields copy = original;
    TExchangeFields assigned;
    assigned = original;
    TokenizeExchangeLine("zz yy xx ww vv uu tt ss rr qq pp", original);
    for (const TExchangeFields* f : {&copy, const_cast<const TExchangeFields*>(&assigned)}) {
        EXPECT_EQ(Copy(*f),
                  (std::vector<std::string>{"ch", "10", "20", "1", "0", "text after a quote"}));
    }
}

// The splitting rules the plain way, a string per field, for comparison.
std::vector<std::string> FieldsByteByByte(const std::string& line) {
    std::vector<std::string> fields(1);
    bool splitting = true;
    for (size_t i = 0; i < line.size(); ++i) {
        const auto b = static_cast<unsigned char>(line[i]);
        if ((b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD)) {
            if (i + 1 == line.size()) break;
            fields.back() += line.substr(i++, 2);
        } else if (splitting && (b == ' ' || b == '\t')) {
            if (fields.back().empty()) continue;
            if (fields.size() == 32) break;
            fields.emplace_back();
        } else if (b == '"' || b == '=') {
            if (b == '=' || !splitting) fields.back() += static_cast<char>(b);
            splitting = false;
        } else if (b == ' ' || (b >= 0x21 && b <= 0xFD)) {
            fields.back() += static_cast<char>(b);
        }
    }
    return fields;
}

TEST(ExchangeTokenizer, FieldsViewedInTheLineEqualThoseSplitThePlainWay) {
    // Lines of the bytes that matter to the splitting, so that fields in the line itself
    // and fields rewritten without dropped bytes are both reached, in every order.
    const std::string alphabet = std::string("ab1.- \t\"=\x01\x7F\xFE\x82\x40\x95\x5C", 16);
    std::mt19937_64 random(11);
    TExchangeFields reused;
    for (int i = 0; i < 100000; ++i) {
        std::string line;
        const size_t length = random() % 90;
        for (size_t k = 0; k < length; ++k) line += alphabet[random() % alphabet.size()];
        TokenizeExchangeLine(line, reused);
        ASSERT_EQ(Copy(reused), FieldsByteByByte(line)) << i;
        for (int k = reused.count; k < kMaxExchangeFields; ++k) ASSERT_EQ(reused.fields[k], "");
    }
}

TEST(ExchangeTokenizer, FieldsOutliveTheLineOnceCopiedOrReturned) {
    std::string line = "ci 10 20 30";
    TExchangeFields viewed;
    TokenizeExchangeLine(line, viewed);
    const TExchangeFields copy = viewed;
    const TExchangeFields returned = TokenizeExchangeLine(std::string("pt 1 2"));
    line.assign(line.size(), 'X');
    std::string overwrite(line.size(), 'Y');
    EXPECT_EQ(Copy(copy), (std::vector<std::string>{"ci", "10", "20", "30"}));
    EXPECT_EQ(Copy(returned), (std::vector<std::string>{"pt", "1", "2"}));
}

}  // namespace
}  // namespace veldra
