#pragma once

// Splitting of exchange-file bytes into lines and of one line into fields.
// Texts are Shift-JIS bytes; a lead byte always takes its trail byte with it, so a
// trail byte is never taken for a quote, a blank or an equals sign.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace veldra {

// A line holds at most this many fields; words after the last one are ignored.
inline constexpr int kMaxExchangeFields = 32;
// Bytes of a line beyond this are dropped: the format's lines are a few hundred bytes,
// and a file without line ends must not take all memory.
inline constexpr size_t kMaxExchangeLineBytes = size_t{1} << 20;

struct TExchangeFields {
    std::array<std::string, kMaxExchangeFields> fields;
    int count = 1;  // the final field index plus one

    // Field i, or an empty field when the line has no such field.
    const std::string& operator[](int i) const;
    // An empty or all-blank line: nothing to dispatch.
    bool IsBlank() const { return count == 1 && fields[0].empty(); }
};

// Splits one line (without its line end) into fields: blanks and tabs separate,
// everything after the first '"' (dropped) or the first '=' (kept) is one field,
// control bytes, 0xFE and 0xFF are dropped.
TExchangeFields TokenizeExchangeLine(std::string_view line);

// Cuts a byte stream into lines at LF, CR LF or a lone CR, chunk by chunk, so that a
// file is read with one line in memory at a time.
class TExchangeLineSplitter {
  public:
    // Calls onLine(std::string_view) for every line completed by `chunk`.
    template <class OnLine>
    void Feed(std::string_view chunk, OnLine&& onLine) {
        for (char c : chunk) {
            if (afterCr_) {
                afterCr_ = false;
                if (c == '\n') continue;  // the LF of a CR LF pair
            }
            if (c == '\n' || c == '\r') {
                afterCr_ = c == '\r';
                onLine(std::string_view(line_));
                line_.clear();
            } else if (line_.size() < kMaxExchangeLineBytes) {
                line_.push_back(c);
            }
        }
    }
    // Hands over the last line when the stream does not end with a line end.
    template <class OnLine>
    void Finish(OnLine&& onLine) {
        if (!line_.empty()) onLine(std::string_view(line_));
        line_.clear();
        afterCr_ = false;
    }

  private:
    std::string line_;
    bool afterCr_ = false;
};

}  // namespace veldra
