#pragma once

// The window's edge of the one code page 932 converter (common/code_page_932.h):
// Shift-JIS bytes of the settings and exchange files to the toolkit's text and back,
// and texts to native paths (UTF-16 on Windows), with that converter's error policy.

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace veldra {

// Bytes that start no character become U+FFFD.
QString FromShiftJis(std::string_view bytes);
// Characters without a Shift-JIS form become '?'.
std::string ToShiftJis(const QString& text);

std::filesystem::path ToPath(const QString& text);
QString FromPath(const std::filesystem::path& path);

}  // namespace veldra
