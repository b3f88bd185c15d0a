// The code page 932 table of Windows itself, so that a name reaches the wide file API
// exactly as the host CAD meant it.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "common/code_page_932_table.h"

namespace veldra::detail {
namespace {
constexpr UINT kCodePage = 932;
}

TCodePage932Table::TCodePage932Table() = default;
TCodePage932Table::~TCodePage932Table() = default;

bool TCodePage932Table::Decode(std::string_view character, std::u16string& out) {
    wchar_t buffer[4];
    const int got = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, character.data(),
                                        static_cast<int>(character.size()), buffer, 4);
    if (got <= 0) return false;
    out.append(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(got));
    return true;
}

bool TCodePage932Table::Encode(std::u16string_view character, std::string& out) {
    char buffer[8];
    BOOL usedDefault = FALSE;
    // No best fit: a character the table lacks is an error, not a look-alike.
    const int got = WideCharToMultiByte(
        kCodePage, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(character.data()),
        static_cast<int>(character.size()), buffer, sizeof buffer, nullptr, &usedDefault);
    if (got <= 0 || usedDefault) return false;
    out.append(buffer, static_cast<size_t>(got));
    return true;
}

}  // namespace veldra::detail
