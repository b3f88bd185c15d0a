#include "exchange/exchange_tokenizer.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/my_func.h"

namespace veldra {

namespace {

// What a byte does to the scan; one table lookup instead of a chain of tests.
enum TByteClass : uint8_t {
    kPlain,   // appended whatever the splitting switch says
    kLead,    // a Shift-JIS lead byte: taken with its trail byte
    kQuote,   // '"'
    kEquals,  // '='
    kBlank,   // ' '
    kTab,     // separates while splitting, dropped after
    kDrop,    // control bytes, 0xFE, 0xFF
};

constexpr std::array<uint8_t, 256> MakeByteClasses() {
    std::array<uint8_t, 256> classes{};
    for (int b = 0; b < 256; ++b) {
        const auto u = static_cast<unsigned char>(b);
        if (IsLeadByte(u)) {
            classes[u] = kLead;
        } else if (b == '"') {
            classes[u] = kQuote;
        } else if (b == '=') {
            classes[u] = kEquals;
        } else if (b == ' ') {
            classes[u] = kBlank;
        } else if (b == '\t') {
            classes[u] = kTab;
        } else if (b >= 0x20 && b <= 0xFD) {
            classes[u] = kPlain;
        } else {
            classes[u] = kDrop;
        }
    }
    return classes;
}

constexpr std::array<uint8_t, 256> kByteClasses = MakeByteClasses();

// The first byte from p that is not ordinary, sixteen bytes at a time where the
// processor allows: a byte below 0x21 or from 0x80 on (one signed compare), '"' or
// '=' stops the quick scan; the few ordinary bytes among those (0x7F, half-width kana)
// are left to the caller's byte-wise way. Fewer than sixteen bytes before the end are
// looked at as the line's last sixteen, when the line (from `begin`) is that long.
const char* SkipPlainBytes(const char* p, const char* begin, const char* end) {
#if defined(__SSE2__)
    const __m128i below = _mm_set1_epi8(0x21), quote = _mm_set1_epi8('"'),
                  equals = _mm_set1_epi8('=');
    auto stops = [&](const char* at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i stop =
            _mm_or_si128(_mm_cmplt_epi8(v, below),
                         _mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, equals)));
        return static_cast<unsigned>(_mm_movemask_epi8(stop));
    };
    while (end - p >= 16) {
        if (const unsigned mask = stops(p); mask != 0) return p + std::countr_zero(mask);
        p += 16;
    }
    if (p != end && end - begin >= 16) {
        const auto left = static_cast<unsigned>(end - p);
        const unsigned mask = stops(end - 16) >> (16 - left);  // the bytes before p fall out
        return mask != 0 ? p + std::countr_zero(mask) : end;
    }
#else
    (void)begin;
#endif
    while (p != end && kByteClasses[static_cast<unsigned char>(*p)] == kPlain) ++p;
    return p;
}

}  // namespace

// Sixteen bytes at a time where the processor allows, both line-end bytes at once, so
// that lines ended by a lone CR cost no more than others.
const char* TExchangeLineSplitter::FindLineEnd(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
        if (mask != 0) return p + std::countr_zero(mask);
        p += 16;
    }
#endif
    while (p != end && *p != '\n' && *p != '\r') ++p;
    return p;
}

TExchangeFields& TExchangeFields::operator=(const TExchangeFields& other) {
    if (this == &other) return *this;
    // The other's fields may view its own bytes or a line that goes away: the copy
    // keeps its own bytes, the fields one after the other.
    size_t total = 0;
    for (int i = 0; i < other.count; ++i) total += other.fields[static_cast<size_t>(i)].size();
    if (bytes_.size() < total) bytes_.resize(total);
    char* write = bytes_.data();
    count = other.count;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string_view f = other[static_cast<int>(i)];
        if (f.empty()) {
            fields[i] = {};
            continue;
        }
        std::memcpy(write, f.data(), f.size());
        fields[i] = std::string_view(write, f.size());
        write += f.size();
    }
    return *this;
}

TExchangeFields TokenizeExchangeLine(std::string_view line) {
    TExchangeFields viewed;
    TokenizeExchangeLine(line, viewed);
    return TExchangeFields(viewed);  // a copy holds its own bytes, whatever `line` was
}

void TokenizeExchangeLine(std::string_view line, TExchangeFields& out) {
    if (!out.TokenizeInPlace(line)) out.TokenizeByCopy(line);
}

bool TExchangeFields::TokenizeInPlace(std::string_view line) {
    for (int i = 1; i < count; ++i) fields[static_cast<size_t>(i)] = {};
    const char* p = line.data();
    const char* const end = p + line.size();
    const char* start = p;  // where the current field begins
    int index = 0;
    auto classOf = [](char c) { return kByteClasses[static_cast<unsigned char>(c)]; };
    // Given up: the fields set so far are counted, so that the copying way clears them.
    auto giveUp = [&] {
        count = index + 1;
        return false;
    };
    while (p != end) {
        p = SkipPlainBytes(p, line.data(), end);
        if (p == end) break;
        switch (classOf(*p)) {
            case kPlain:
                ++p;
                break;
            case kLead:
                if (p + 1 == end) return giveUp();  // a lone lead byte is dropped
                p += 2;
                break;
            case kBlank:
            case kTab:
                if (p != start) {
                    if (index + 1 == kMaxExchangeFields) goto done;  // the line is full
                    fields[static_cast<size_t>(index++)] =
                        std::string_view(start, static_cast<size_t>(p - start));
                }
                start = ++p;
                break;
            case kQuote:
                // The quote is dropped: only a quote that opens a field leaves it whole.
                if (p != start) return giveUp();
                start = ++p;
                [[fallthrough]];
            case kEquals:
                // The rest of the line is one field; blanks, quotes and '=' stay in it.
                while (p != end) {
                    const uint8_t c = classOf(*p);
                    if (c == kTab || c == kDrop || (c == kLead && p + 1 == end)) return giveUp();
                    p += c == kLead ? 2 : 1;
                }
                break;
            default:  // control bytes, 0xFE, 0xFF are dropped
                return giveUp();
        }
    }
done:
    fields[static_cast<size_t>(index)] = std::string_view(start, static_cast<size_t>(p - start));
    count = index + 1;
    return true;
}

void TExchangeFields::TokenizeByCopy(std::string_view line) {
    TExchangeFields& out = *this;
    // The fields together never hold more bytes than the line.
    if (out.bytes_.size() < line.size()) out.bytes_.resize(line.size());
    for (int i = 1; i < out.count; ++i) out.fields[static_cast<size_t>(i)] = {};
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const unsigned char* const end = p + line.size();
    char* const buffer = out.bytes_.data();
    char* write = buffer;
    char* fieldStart = buffer;
    int index = 0;
    bool splitting = true;
    // Words beyond the last field are outside the format: they are dropped, and the
    // count stays at the maximum; nothing after them is appended to any field.
    while (p != end) {
        // Runs of ordinary bytes make up most of a line.
        const unsigned char* run = p;
        while (p != end && kByteClasses[*p] == kPlain) ++p;
        if (p != run) {
            std::memcpy(write, run, static_cast<size_t>(p - run));
            write += p - run;
        }
        if (p == end) break;
        const unsigned char b = *p;
        switch (kByteClasses[b]) {
            case kLead:
                if (p + 1 == end) {  // a lone lead byte at the end is dropped
                    p = end;
                    break;
                }
                *write++ = static_cast<char>(p[0]);
                *write++ = static_cast<char>(p[1]);
                p += 2;
                break;
            case kQuote:
            case kEquals:
                if (b == '=' || !splitting) *write++ = static_cast<char>(b);
                splitting = false;
                ++p;
                break;
            case kBlank:
            case kTab:
                ++p;
                if (!splitting) {
                    if (b == ' ') *write++ = ' ';
                } else if (write != fieldStart) {
                    if (index + 1 == kMaxExchangeFields) {
                        p = end;  // the line is full
                        break;
                    }
                    out.fields[static_cast<size_t>(index++)] =
                        std::string_view(fieldStart, static_cast<size_t>(write - fieldStart));
                    fieldStart = write;
                }
                break;
            default:  // control bytes, 0xFE, 0xFF
                ++p;
                break;
        }
    }
    out.fields[static_cast<size_t>(index)] =
        std::string_view(fieldStart, static_cast<size_t>(write - fieldStart));
    out.count = index + 1;
}

}  // namespace veldra
