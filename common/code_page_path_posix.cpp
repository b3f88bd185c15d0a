// Code page 932 names to UTF-8 with iconv's CP932 table (the Windows variant of
// Shift-JIS, with its NEC and IBM extensions).

#include <iconv.h>

#include <cerrno>
#include <string>

#include "common/code_page_path.h"

namespace veldra {

std::optional<std::filesystem::path> PathFromCodePage932(std::string_view bytes) {
    if (bytes.empty()) return std::filesystem::path();
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string input(bytes);
    std::string output(bytes.size() * 3 + 4, '\0');  // a code page 932 character is 1 or 2 bytes
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    const size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (done == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
    output.resize(output.size() - outLeft);
    return std::filesystem::path(output);
}

}  // namespace veldra
