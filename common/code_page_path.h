#pragma once

// File names in the exchange and settings files are code page 932 (Shift-JIS)
// bytes. The file layer takes native paths, so such a name is converted here, at the
// edge: to UTF-16 through the system's code page 932 table on Windows, to UTF-8
// elsewhere.

#include <filesystem>
#include <optional>
#include <string_view>

namespace veldra {

// The native path of a code page 932 name; nullopt when the bytes are no code page
// 932 text (a lead byte without its trail byte, an unassigned code).
std::optional<std::filesystem::path> PathFromCodePage932(std::string_view bytes);

}  // namespace veldra
