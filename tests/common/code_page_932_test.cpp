#include "common/code_page_932.h"

#include <gtest/gtest.h>

namespace veldra {
namespace {

std::string Encoded(std::u16string_view text) {
    return EncodeCodePage932(text).bytes;
}

TEST(CodePage932, DecodesTheCharactersOfBothExtensionsAndKeepsAsciiAsItStands) {
    EXPECT_EQ(DecodeCodePage932("C:\\\x95\x5C\\~").text, u"C:\\\u8868\\~");  // 表's 0x5C trail
    EXPECT_EQ(DecodeCodePage932("\x81\x60").text, u"\uFF5E");  // the wave dash of Windows
    EXPECT_EQ(DecodeCodePage932("\x81\x7C").text, u"\uFF0D");
    EXPECT_EQ(DecodeCodePage932("\x87\x40").text, u"\u2460");        // ① (NEC row 13)
    EXPECT_EQ(DecodeCodePage932("\xFB\xFC").text, u"\u9AD9");        // 髙 (IBM extension)
    EXPECT_EQ(DecodeCodePage932("\xED\x40").text, u"\u7E8A");        // NEC-selected IBM extension
    EXPECT_EQ(DecodeCodePage932("\xB1\xDF").text, u"\uFF71\uFF9F");  // half-width katakana
    EXPECT_EQ(DecodeCodePage932("\x81\x40").text, u"\u3000");
    EXPECT_TRUE(DecodeCodePage932("\x90\x7d\x96\xca").exact);
}

// One policy for broken bytes: the first byte becomes U+FFFD, the rest is read again.
TEST(CodePage932, BrokenBytesBecomeReplacementsAndNothingAfterThemIsLost) {
    const TDecodedText cut = DecodeCodePage932("a\x82");
    EXPECT_EQ(cut.text, u"a\uFFFD");
    EXPECT_FALSE(cut.exact);
    EXPECT_EQ(DecodeCodePage932("\x82 z").text, u"\uFFFD z");            // lead byte before ASCII
    EXPECT_EQ(DecodeCodePage932("\x85\x82\xA0").text, u"\uFFFD\u3042");  // resynchronised
    // Bytes that are no character anywhere, whatever a platform maps them to.
    EXPECT_EQ(DecodeCodePage932("\x80\xA0\xFD\xFE\xFF").text, u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_TRUE(DecodeCodePage932("").exact);
}

TEST(CodePage932, EncodesExactRoundTripsOnly) {
    EXPECT_EQ(Encoded(u"C:\\\u56f3\u9762\\\u8868\u2460.bmp"),
              "C:\\\x90\x7d\x96\xca\\\x95\x5C\x87\x40.bmp");
    // The NEC-selected IBM extension (rows 0xED, 0xEE) decodes like the IBM extension
    // (0xFA..0xFC) and encodes to it, as Windows does: 纊 and 髙 from either code.
    EXPECT_EQ(Encoded(u"\uFF5E\u9AD9\u7E8A\uFF71"), "\x81\x60\xFB\xFC\xFA\x5C\xB1");
    EXPECT_EQ(Encoded(DecodeCodePage932("\xEE\xE0").text), "\xFB\xFC");
    EXPECT_TRUE(EncodeCodePage932(u"\u56f3\u9762").exact);

    // Characters some tables map one way only: U+00A5 would come back as the path
    // separator, U+203E as '~', U+301C and U+2212 as other characters. No form on any
    // platform, as in the strict tables.
    for (const char16_t c : {u'\u00A5', u'\u203E', u'\u301C', u'\u2212', u'\u2016', u'\u00A2'}) {
        const TEncodedText encoded = EncodeCodePage932(std::u16string(1, c));
        EXPECT_EQ(encoded.bytes, "?") << static_cast<int>(c);
        EXPECT_FALSE(encoded.exact);
    }
    // No form at all: a Latin letter, an emoji (a surrogate pair), a lone surrogate, and
    // the code points Windows gives the unassigned single bytes.
    EXPECT_EQ(Encoded(u"caf\u00e9 a\U0001F600b \xD800 \u0080\uF8F0"), "caf? a?b ? ??");
}

TEST(CodePage932, Utf8AndPathsGoThroughTheSameTable) {
    bool exact = false;
    EXPECT_EQ(Utf8FromCodePage932("\x95\x5C", &exact), "\xE8\xA1\xA8");
    EXPECT_TRUE(exact);
    EXPECT_EQ(Utf8FromCodePage932("\xFF", &exact), "\xEF\xBF\xBD");
    EXPECT_FALSE(exact);
    EXPECT_EQ(CodePage932FromUtf8("\xE8\xA1\xA8").bytes, "\x95\x5C");
    const TEncodedText broken = CodePage932FromUtf8("a\xE8\xA1");  // cut UTF-8
    EXPECT_EQ(broken.bytes, "a?");
    EXPECT_FALSE(broken.exact);

    EXPECT_EQ(Utf16FromUtf8("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong
    EXPECT_EQ(Utf16FromUtf8("a\xE3\x81z"), u"a\uFFFDz");  // one replacement for a cut-off character
    EXPECT_EQ(Utf8FromUtf16(u"\U0001F600"), "\xF0\x9F\x98\x80");

    const std::filesystem::path path = PathFromUtf16(u"\u56f3\u9762/\u2460.bmp");
    EXPECT_EQ(Utf16FromPath(path), u"\u56f3\u9762/\u2460.bmp");
    EXPECT_EQ(CodePage932FromUtf8(Utf8FromPath(path)).bytes, "\x90\x7d\x96\xca/\x87\x40.bmp");
    EXPECT_FALSE(CodePage932FromUtf8(Utf8FromPath(PathFromUtf16(u"\u00e9"))).exact);
    Utf8FromCodePage932("\x82", &exact);  // a lead byte alone
    EXPECT_FALSE(exact);
}

// Every one- and two-byte code that decodes encodes back to the same bytes, except the
// duplicates of the NEC rows and the NEC-selected IBM extension, which encode to their
// one canonical code.
TEST(CodePage932, EveryCodeRoundTripsOrHasACanonicalTwin) {
    int characters = 0;
    int twins = 0;
    for (int code = 0x80; code <= 0xFFFF; ++code) {
        std::string bytes;
        if (code >= 0x100) bytes.push_back(static_cast<char>(code >> 8));
        bytes.push_back(static_cast<char>(code & 0xFF));
        const TDecodedText decoded = DecodeCodePage932(bytes);
        if (!decoded.exact || decoded.text.size() != 1) continue;  // no code, or two codes
        ++characters;
        const TEncodedText back = EncodeCodePage932(decoded.text);
        ASSERT_TRUE(back.exact) << std::hex << code;
        if (back.bytes == bytes) continue;
        ++twins;
        EXPECT_EQ(DecodeCodePage932(back.bytes).text, decoded.text) << std::hex << code;
    }
    EXPECT_GT(characters, 7900);
    EXPECT_LT(twins, 400);
}

}  // namespace
}  // namespace veldra
