#include "app/text_codec.h"

#include <gtest/gtest.h>

#include "common/code_page_932.h"

namespace veldra {
namespace {

TEST(TextCodec, ShiftJisRoundTripsJapanesePaths) {
    const QString path = QStringLiteral("C:\\図面\\表①.bmp");
    const std::string bytes = ToShiftJis(path);
    EXPECT_EQ(bytes.substr(0, 8), "C:\\\x90\x7d\x96\xca\\");
    EXPECT_EQ(FromShiftJis(bytes), path);
    EXPECT_TRUE(EncodeCodePage932(path.toStdU16String()).exact);
}

TEST(TextCodec, UnencodableCharactersBecomeQuestionMarks) {
    EXPECT_FALSE(EncodeCodePage932(u"caf\u00e9.bmp").exact);
    EXPECT_EQ(ToShiftJis(QStringLiteral("caf\u00e9.bmp")), "caf?.bmp");
    EXPECT_EQ(ToShiftJis(QStringLiteral("a\U0001F600b")), "a?b");
}

TEST(TextCodec, PathsKeepNonAsciiNames) {
    const QString name = QStringLiteral("/tmp/テクスチャ.png");
    EXPECT_EQ(FromPath(ToPath(name)), name);
}

}  // namespace
}  // namespace veldra
