#pragma once

// Splitting of exchange-file bytes into lines and of one line into fields.
// Texts are Shift-JIS bytes; a lead byte always takes its trail byte with it, so a
// trail byte is never taken for a quote, a blank or an equals sign.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace veldra {

// A line holds at most this many fields; words after the last one are ignored.
inline constexpr int kMaxExchangeFields = 32;
// Bytes of a line beyond this are dropped: the format's lines are a few hundred bytes,
// and a file without line ends must not take all memory.
inline constexpr size_t kMaxExchangeLineBytes = size_t{1} << 20;

// The fields of one line, split without allocating a string per field. When no byte
// of the line has to be dropped, they view the line itself (which must outlive them);
// otherwise bytes held by the object, whose buffer a reused object keeps. A copy always
// holds its own bytes.
struct TExchangeFields {
    std::array<std::string_view, kMaxExchangeFields> fields;
    int count = 1;  // the final field index plus one

    TExchangeFields() = default;
    TExchangeFields(const TExchangeFields& other) { *this = other; }
    TExchangeFields& operator=(const TExchangeFields& other);

    // Field i, or an empty field when the line has no such field.
    std::string_view operator[](int i) const {
        return i < 0 || i >= count ? std::string_view() : fields[static_cast<size_t>(i)];
    }
    // An empty or all-blank line: nothing to dispatch.
    bool IsBlank() const { return count == 1 && fields[0].empty(); }

  private:
    friend void TokenizeExchangeLine(std::string_view line, TExchangeFields& out);
    // Fields as views into `line`; false (fields then undefined) when a byte must go.
    bool TokenizeInPlace(std::string_view line);
    // Fields rewritten into bytes_, dropped bytes left out.
    void TokenizeByCopy(std::string_view line);
    std::string bytes_;  // the fields' bytes, one after the other
};

// Splits one line (without its line end) into fields: blanks and tabs separate,
// everything after the first '"' (dropped) or the first '=' (kept) is one field,
// control bytes, 0xFE and 0xFF are dropped. The result holds its own bytes.
TExchangeFields TokenizeExchangeLine(std::string_view line);
// The same into `out`, reusing its storage (the reader's loop); the fields may view
// `line`.
void TokenizeExchangeLine(std::string_view line, TExchangeFields& out);

// Cuts a byte stream into lines at LF, CR LF or a lone CR, chunk by chunk, so that a
// file is read with one line in memory at a time.
class TExchangeLineSplitter {
  public:
    // Calls onLine(std::string_view) for every line completed by `chunk`. A line that
    // lies wholly inside the chunk is handed over in place, without a copy.
    template <class OnLine>
    void Feed(std::string_view chunk, OnLine&& onLine) {
        const char* p = chunk.data();
        const char* const end = p + chunk.size();
        if (p != end && afterCr_) {
            afterCr_ = false;
            if (*p == '\n') ++p;  // the LF of a CR LF pair
        }
        while (p != end) {
            const char* lineEnd = FindLineEnd(p, end);
            if (lineEnd == end) {
                Keep(p, end);
                return;
            }
            if (line_.empty()) {
                onLine(std::string_view(p, Capped(lineEnd - p)));
            } else {
                Keep(p, lineEnd);
                onLine(std::string_view(line_));
                line_.clear();
            }
            p = lineEnd + 1;
            if (*lineEnd == '\r') {
                if (p == end) {
                    afterCr_ = true;
                } else if (*p == '\n') {
                    ++p;
                }
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
    // The first LF or CR from p, or `end`.
    static const char* FindLineEnd(const char* p, const char* end);
    static size_t Capped(std::ptrdiff_t length) {
        return std::min(static_cast<size_t>(length), kMaxExchangeLineBytes);
    }
    // Keeps the start of a line that goes on in the next chunk, up to the line limit.
    void Keep(const char* from, const char* to) {
        const size_t room = kMaxExchangeLineBytes - line_.size();
        line_.append(from, std::min(static_cast<size_t>(to - from), room));
    }

  private:
    std::string line_;
    bool afterCr_ = false;
};

}  // namespace veldra
