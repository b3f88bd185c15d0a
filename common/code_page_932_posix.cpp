// The code page 932 table of glibc's iconv ("CP932", the Windows variant with the NEC
// and IBM extensions).

#include <iconv.h>

#include "common/code_page_932_table.h"

namespace veldra::detail {
namespace {

// iconv_open's failure value is (iconv_t)-1 by its own definition.
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)

iconv_t Open(void* handle) {
    return handle == nullptr ? kNoConverter : static_cast<iconv_t>(handle);
}

void* Keep(iconv_t converter) {
    return converter == kNoConverter ? nullptr : static_cast<void*>(converter);
}

// One whole conversion of `in` into `out`; false when any byte did not convert.
bool Convert(void* handle, const char* in, size_t inSize, char* out, size_t& outSize) {
    const iconv_t converter = Open(handle);
    if (converter == kNoConverter) return false;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
    char* inPos = const_cast<char*>(in);
    size_t inLeft = inSize;
    char* outPos = out;
    size_t outLeft = outSize;
    if (iconv(converter, &inPos, &inLeft, &outPos, &outLeft) == static_cast<size_t>(-1) ||
        inLeft != 0)
        return false;
    outSize -= outLeft;
    return true;
}

}  // namespace

TCodePage932Table::TCodePage932Table()
    : toUtf16_(Keep(iconv_open("UTF-16LE", "CP932"))),
      fromUtf16_(Keep(iconv_open("CP932", "UTF-16LE"))) {}

TCodePage932Table::~TCodePage932Table() {
    if (toUtf16_ != nullptr) iconv_close(Open(toUtf16_));
    if (fromUtf16_ != nullptr) iconv_close(Open(fromUtf16_));
}

bool TCodePage932Table::Decode(std::string_view character, std::u16string& out) {
    char buffer[8];
    size_t size = sizeof buffer;
    if (!Convert(toUtf16_, character.data(), character.size(), buffer, size) || size == 0 ||
        size % 2 != 0)
        return false;
    for (size_t i = 0; i < size; i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(buffer[i]) |
                                            (static_cast<unsigned char>(buffer[i + 1]) << 8)));
    return true;
}

bool TCodePage932Table::Encode(std::u16string_view character, std::string& out) {
    char in[4];
    for (size_t i = 0; i < character.size() && i < 2; ++i) {
        in[2 * i] = static_cast<char>(character[i] & 0xFF);
        in[2 * i + 1] = static_cast<char>(character[i] >> 8);
    }
    char buffer[8];
    size_t size = sizeof buffer;
    if (character.empty() || character.size() > 2 ||
        !Convert(fromUtf16_, in, character.size() * 2, buffer, size) || size == 0)
        return false;
    out.append(buffer, size);
    return true;
}

}  // namespace veldra::detail
