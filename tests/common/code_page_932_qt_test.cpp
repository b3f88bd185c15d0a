// The code page 932 converter against Qt's codec (ICU's ibm-943 table on Linux) over
// every one- and two-byte code and every character of the Basic Multilingual Plane:
// they agree except where ICU's table is IBM's rather than Windows', and those codes
// are pinned here. Qt for Windows is built without ICU and has no Shift-JIS codec:
// there the test is skipped.

#include <gtest/gtest.h>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdio>
#include <string>
#include <vector>

#include "common/code_page_932.h"

namespace veldra {
namespace {

bool QtHasShiftJis() {
    return QStringDecoder("Shift_JIS").isValid();
}

std::string Hex(const std::vector<int>& codes) {
    std::string out;
    char buffer[16];
    for (int code : codes) {
        std::snprintf(buffer, sizeof buffer, "%s%X", out.empty() ? "" : " ", code);
        out += buffer;
    }
    return out;
}

TEST(CodePage932Qt, DecodesEveryCodeLikeQt) {
    if (!QtHasShiftJis()) GTEST_SKIP() << "Qt has no Shift-JIS codec here (built without ICU)";
    std::vector<int> differ;
    int compared = 0;
    for (int code = 0x00; code <= 0xFFFF; ++code) {
        const int lead = code >> 8;
        if (code >= 0x100 && !((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)))
            continue;  // two bytes are two characters: each is compared on its own
        QByteArray bytes;
        if (code >= 0x100) bytes.append(static_cast<char>(code >> 8));
        bytes.append(static_cast<char>(code & 0xFF));
        QStringDecoder qt("Shift_JIS", QStringDecoder::Flag::Stateless);
        const QString theirs = qt.decode(bytes);
        const bool qtExact = !qt.hasError() && !theirs.contains(QChar::ReplacementCharacter);
        const TDecodedText ours =
            DecodeCodePage932(std::string_view(bytes.constData(), bytes.size()));
        if (ours.exact && qtExact) ++compared;
        if (ours.exact != qtExact || (ours.exact && ours.text != theirs.toStdU16String()))
            differ.push_back(code);
    }
    EXPECT_GT(compared, 7900);
    // ICU's IBM table swaps three control codes (0x1A, 0x1C, 0x7F); Windows keeps ASCII
    // as it stands, and so do we.
    EXPECT_EQ(Hex(differ), "1A 1C 7F");
}

TEST(CodePage932Qt, EncodesEveryCharacterLikeQt) {
    if (!QtHasShiftJis()) GTEST_SKIP() << "Qt has no Shift-JIS codec here (built without ICU)";
    std::vector<int> differ;
    for (int c = 0x01; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::u16string text(1, static_cast<char16_t>(c));
        QStringEncoder qt("Shift_JIS", QStringEncoder::Flag::Stateless);
        const QByteArray theirs = qt.encode(QString::fromStdU16String(text));
        const TEncodedText ours = EncodeCodePage932(text);
        if (ours.exact != !qt.hasError() || (ours.exact && ours.bytes != theirs.toStdString()))
            differ.push_back(c);
    }
    // The same three control codes, and three characters ICU's table maps one way (a
    // private-use code, the byte order mark U+FEFF, the non-character U+FFFE): no code
    // page 932 form here. U+00A5, U+203E, U+301C and U+2212 have none in either.
    EXPECT_EQ(Hex(differ), "1A 1C 7F F86F FEFF FFFE");
}

}  // namespace
}  // namespace veldra
