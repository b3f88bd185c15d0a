#include "cli/shift_jis_text.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include "common/my_func.h"

namespace veldra::cli {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// One character (a single byte or a lead byte with its trail byte) to UTF-8. The
// platform decoder marks bad bytes with U+001A and drops a cut-off lead byte, so
// each character is decoded on its own and any failure becomes U+FFFD.
std::string DecodeCharacter(std::string_view bytes) {
    QStringDecoder decoder("Shift_JIS", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid()) return kReplacement;
    QString text =
        decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError() || text.size() != 1 || text[0] == QChar(0x1A)) {
        // A pair that is not one character (a lead byte before an ASCII byte) may still
        // be two: the second is kept when it is ASCII.
        if (bytes.size() == 2 && static_cast<unsigned char>(bytes[1]) < 0x80)
            return std::string(kReplacement) + bytes[1];
        return kReplacement;
    }
    return text.toStdString();
}

}  // namespace

std::string ShiftJisToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(bytes[i]);  // ASCII as it stands (0x5C is the backslash)
        } else if (IsLeadByte(b)) {
            if (i + 1 >= bytes.size()) {
                out += kReplacement;  // a lead byte cut off by the 255-byte limit
            } else {
                out += DecodeCharacter(bytes.substr(i, 2));
                ++i;
            }
        } else {
            out += DecodeCharacter(bytes.substr(i, 1));
        }
    }
    return out;
}

}  // namespace veldra::cli
