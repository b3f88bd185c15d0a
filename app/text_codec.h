#pragma once

// Conversions at the window's edge: Shift-JIS bytes of the settings and exchange
// files to the toolkit's text, and texts to file-system paths.

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace veldra {

QString FromShiftJis(std::string_view bytes);
// Characters without a Shift-JIS form become '?'.
std::string ToShiftJis(const QString& text);
// True when every character has a Shift-JIS form.
bool IsShiftJisEncodable(const QString& text);

std::filesystem::path ToPath(const QString& text);
QString FromPath(const std::filesystem::path& path);

}  // namespace veldra
