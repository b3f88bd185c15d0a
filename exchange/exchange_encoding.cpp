#include "exchange/exchange_encoding.h"

#include <algorithm>

#include "common/code_page_932.h"

namespace veldra {
namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

void TExchangeEncodingDetector::Feed(std::string_view line) {
    if (first_ && line.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) bom_ = true;
    first_ = false;
    if (bom_ || IsAscii(line)) return;
    if (allUtf8_) Utf16FromUtf8(line, &allUtf8_);
    if (allShiftJis_) allShiftJis_ = DecodeCodePage932(line).exact;
}

TExchangeEncoding TExchangeEncodingDetector::Result() const {
    if (bom_) return TExchangeEncoding::Utf8WithBom;
    // Shift-JIS stays the default: only a file that cannot be Shift-JIS is taken as UTF-8.
    return allUtf8_ && !allShiftJis_ ? TExchangeEncoding::Utf8 : TExchangeEncoding::ShiftJis;
}

std::string ExchangeLineText(std::string_view line, TExchangeEncoding encoding, bool firstLine,
                             bool& replaced) {
    if (encoding == TExchangeEncoding::ShiftJis) return std::string(line);
    if (firstLine && line.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
        line.remove_prefix(kUtf8ByteOrderMark.size());
    if (IsAscii(line)) return std::string(line);
    TEncodedText text = CodePage932FromUtf8(line);
    if (!text.exact) replaced = true;
    return std::move(text.bytes);
}

std::string ExchangeBytesIn(std::string_view shiftJis, TExchangeEncoding encoding) {
    if (encoding == TExchangeEncoding::ShiftJis) return std::string(shiftJis);
    std::string out(encoding == TExchangeEncoding::Utf8WithBom ? kUtf8ByteOrderMark : "");
    // What the program queues was made from code page 932 text, so it converts exactly.
    out += Utf8FromCodePage932(shiftJis);
    return out;
}

}  // namespace veldra
