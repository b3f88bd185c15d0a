#include "exchange/exchange_tokenizer.h"

#include "common/my_func.h"

namespace veldra {

const std::string& TExchangeFields::operator[](int i) const {
    static const std::string kEmpty;
    if (i < 0 || i >= count) return kEmpty;
    return fields[static_cast<size_t>(i)];
}

TExchangeFields TokenizeExchangeLine(std::string_view line) {
    TExchangeFields out;
    int index = 0;
    bool splitting = true;
    // Words beyond the last field are outside the format: they are dropped, and the
    // count stays at the maximum.
    bool full = false;
    auto append = [&](char c) {
        if (!full) out.fields[static_cast<size_t>(index)].push_back(c);
    };
    for (size_t i = 0; i < line.size(); ++i) {
        auto b = static_cast<unsigned char>(line[i]);
        if (IsLeadByte(b)) {
            if (i + 1 >= line.size()) break;  // a lone lead byte at the end is dropped
            append(line[i]);
            append(line[i + 1]);
            ++i;
        } else if (b == '"' && splitting) {
            splitting = false;
        } else if (b == '=' && splitting) {
            append('=');
            splitting = false;
        } else if ((b == ' ' || b == '\t') && splitting) {
            if (!full && !out.fields[static_cast<size_t>(index)].empty()) {
                if (index + 1 < kMaxExchangeFields) {
                    ++index;
                } else {
                    full = true;
                }
            }
        } else if (b >= 0x20 && b <= 0xFD) {
            append(line[i]);
        }
        // Anything else (control bytes, a tab once splitting is off, 0xFE, 0xFF) is dropped.
    }
    out.count = index + 1;
    return out;
}

}  // namespace veldra
