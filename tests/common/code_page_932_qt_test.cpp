// The code page 932 converter against Qt's codec (ICU's table on Linux) over every one-
// and two-byte code and every character of the Basic Multilingual Plane. Qt for Windows
// is built without ICU and has no Shift-JIS codec: there the test is skipped.

#include <gtest/gtest.h>
#include <QStringDecoder>
#include <QStringEncoder>

#include "common/code_page_932.h"

namespace veldra {
namespace {

bool QtHasShiftJis() {
    return QStringDecoder("Shift_JIS").isValid();
}

std::u16string FromQt(const QString& text) {
    return text.toStdU16String();
}

TEST(CodePage932Qt, DecodesEveryCodeLikeQt) {
    if (!QtHasShiftJis()) GTEST_SKIP() << "Qt has no Shift-JIS codec here (built without ICU)";
    int compared = 0;
    for (int code = 0x00; code <= 0xFFFF; ++code) {
        QByteArray bytes;
        if (code >= 0x100) bytes.append(static_cast<char>(code >> 8));
        bytes.append(static_cast<char>(code & 0xFF));
        QStringDecoder qt("Shift_JIS", QStringDecoder::Flag::Stateless);
        const QString theirs = qt.decode(bytes);
        const bool qtExact = !qt.hasError() && !theirs.contains(QChar(0x1A)) &&
                             !theirs.contains(QChar::ReplacementCharacter);
        const TDecodedText ours =
            DecodeCodePage932(std::string_view(bytes.constData(), bytes.size()));
        // Both tables know a character, or neither does.
        ASSERT_EQ(ours.exact, qtExact) << std::hex << code;
        if (!ours.exact) continue;
        ++compared;
        EXPECT_EQ(ours.text, FromQt(theirs)) << std::hex << code;
    }
    EXPECT_GT(compared, 60000);
}

TEST(CodePage932Qt, EncodesEveryCharacterLikeQt) {
    if (!QtHasShiftJis()) GTEST_SKIP() << "Qt has no Shift-JIS codec here (built without ICU)";
    for (char32_t c = 0x01; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::u16string text(1, static_cast<char16_t>(c));
        QStringEncoder qt("Shift_JIS", QStringEncoder::Flag::Stateless);
        const QByteArray theirs = qt.encode(QString::fromStdU16String(text));
        const TEncodedText ours = EncodeCodePage932(text);
        ASSERT_EQ(ours.exact, !qt.hasError()) << std::hex << static_cast<int>(c);
        if (ours.exact) {
            EXPECT_EQ(ours.bytes, theirs.toStdString()) << std::hex << static_cast<int>(c);
        }
    }
}

}  // namespace
}  // namespace veldra
