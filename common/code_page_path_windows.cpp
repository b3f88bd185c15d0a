// Code page 932 names to UTF-16 with the system's own table, so a name reaches the
// wide file API exactly as the host CAD meant it.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <climits>
#include <string>

#include "common/code_page_path.h"

namespace veldra {

std::optional<std::filesystem::path> PathFromCodePage932(std::string_view bytes) {
    if (bytes.empty()) return std::filesystem::path();
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return std::nullopt;
    constexpr UINT kCodePage = 932;
    const int size = static_cast<int>(bytes.size());
    const int wide =
        MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::wstring text(static_cast<size_t>(wide), L'\0');
    if (MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(),
                            wide) != wide)
        return std::nullopt;
    return std::filesystem::path(text);
}

}  // namespace veldra
