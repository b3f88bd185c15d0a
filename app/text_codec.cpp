#include "app/text_codec.h"

#include "common/code_page_932.h"

namespace veldra {

QString FromShiftJis(std::string_view bytes) {
    return QString::fromStdU16String(DecodeCodePage932(bytes).text);
}

std::string ToShiftJis(const QString& text) {
    return EncodeCodePage932(text.toStdU16String()).bytes;
}

std::filesystem::path ToPath(const QString& text) {
    return PathFromUtf16(text.toStdU16String());
}

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(Utf16FromPath(path));
}

}  // namespace veldra
