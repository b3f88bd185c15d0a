#pragma once

// The encoding an exchange file came in. A host writes the file in the encoding of the
// batch file that started it: code page 932 (Shift-JIS), the default, or UTF-8 when the
// batch file is saved as UTF-8. Inside the program texts stay code page 932 bytes; a
// UTF-8 file is converted line by line as it is read, and the hand-back is converted
// back, so the host gets what it wrote in.

#include <string>
#include <string_view>

namespace veldra {

enum class TExchangeEncoding {
    ShiftJis,     // code page 932: the default, read and written as the bytes stand
    Utf8,         // UTF-8 without a byte order mark
    Utf8WithBom,  // UTF-8 after the byte order mark EF BB BF
};

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Decides from the file's lines, fed in order: UTF-8 when the file starts with the byte
// order mark, or when every line is valid UTF-8 and some line is not valid code page 932
// text; otherwise Shift-JIS. Lines are split at CR and LF, which are never part of a
// character in either encoding, so each line can be judged on its own.
class TExchangeEncodingDetector {
  public:
    void Feed(std::string_view line);
    TExchangeEncoding Result() const;

  private:
    bool first_ = true;
    bool bom_ = false;
    bool allUtf8_ = true;
    bool allShiftJis_ = true;
};

// One line of the file as the program keeps it: code page 932 bytes. A UTF-8 line loses
// a leading byte order mark (first line only); characters that are no valid UTF-8 or
// have no code page 932 form become '?' and set `replaced`.
std::string ExchangeLineText(std::string_view line, TExchangeEncoding encoding, bool firstLine,
                             bool& replaced);

// The hand-back bytes (code page 932) in the encoding the file came in.
std::string ExchangeBytesIn(std::string_view shiftJis, TExchangeEncoding encoding);

}  // namespace veldra
