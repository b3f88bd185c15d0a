#pragma once

// Shift-JIS (code page 932) bytes of the exchange file to UTF-8 for the command
// line's output. Bytes without a character become U+FFFD.

#include <string>
#include <string_view>

namespace veldra::cli {

std::string ShiftJisToUtf8(std::string_view bytes);

}  // namespace veldra::cli
