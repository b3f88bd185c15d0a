#include "common/code_page_932.h"

#include "common/code_page_932_table.h"

namespace veldra {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr char kUnencodable = '?';

// Lead bytes of a two-byte character in code page 932.
constexpr bool IsCodePage932Lead(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Bytes that are no character on their own in code page 932 (Windows maps some of
// them to private or control code points; the program treats them alike everywhere).
constexpr bool IsUnassignedSingleByte(unsigned char b) {
    return b == 0x80 || b == 0xA0 || b >= 0xFD;
}

constexpr bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The code point of the UTF-8 sequence at `i` and its length; length 0 when the bytes
// are no well-formed sequence (overlong, surrogate, beyond U+10FFFF, cut off).
std::pair<char32_t, size_t> NextUtf8(std::string_view s, size_t i);

// How many bytes one U+FFFD stands for at a sequence that is not well formed: its lead
// byte and the continuation bytes that follow it, so a cut-off character is one
// replacement.
size_t BrokenUtf8Length(std::string_view s, size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t expected = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 1;
    size_t length = 1;
    while (length < expected && i + length < s.size() &&
           (static_cast<unsigned char>(s[i + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

std::pair<char32_t, size_t> NextUtf8(std::string_view s, size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) return {b, 1};
    size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2, c = b & 0x1F, minimum = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, c = b & 0x0F, minimum = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, c = b & 0x07, minimum = 0x10000;
    } else {
        return {0, 0};
    }
    if (i + length > s.size()) return {0, 0};
    for (size_t k = 1; k < length; ++k) {
        const auto t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) return {0, 0};
        c = (c << 6) | (t & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {0, 0};
    return {c, length};
}

}  // namespace

TDecodedText DecodeCodePage932(std::string_view bytes) {
    TDecodedText result;
    result.text.reserve(bytes.size());
    detail::TCodePage932Table table;
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            result.text.push_back(b);  // ASCII as it stands: 0x5C is the backslash
            ++i;
            continue;
        }
        const size_t length = IsCodePage932Lead(b) ? 2 : 1;
        if (i + length <= bytes.size() && !IsUnassignedSingleByte(b) &&
            table.Decode(bytes.substr(i, length), result.text)) {
            i += length;
            continue;
        }
        // Only the first byte is given up: what follows may be a character of its own.
        result.text.push_back(kReplacement);
        result.exact = false;
        ++i;
    }
    return result;
}

TEncodedText EncodeCodePage932(std::u16string_view text) {
    TEncodedText result;
    result.bytes.reserve(text.size() * 2);
    detail::TCodePage932Table table;
    std::u16string back;
    for (size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (c < 0x80) {
            result.bytes.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        const size_t length =
            IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
        const std::u16string_view character = text.substr(i, length);
        i += length;
        const size_t start = result.bytes.size();
        if (table.Encode(character, result.bytes)) {
            // Exact round trips only: a one-way mapping would name another character.
            back.clear();
            const std::string_view bytes = std::string_view(result.bytes).substr(start);
            const size_t expected = IsCodePage932Lead(static_cast<unsigned char>(bytes[0])) ? 2 : 1;
            if (bytes.size() == expected &&
                !IsUnassignedSingleByte(static_cast<unsigned char>(bytes[0])) &&
                static_cast<unsigned char>(bytes[0]) >= 0x80 && table.Decode(bytes, back) &&
                back == character)
                continue;
            result.bytes.resize(start);
        }
        result.bytes.push_back(kUnencodable);
        result.exact = false;
    }
    return result;
}

std::u16string Utf16FromUtf8(std::string_view utf8, bool* exact) {
    std::u16string out;
    out.reserve(utf8.size());
    bool ok = true;
    for (size_t i = 0; i < utf8.size();) {
        const auto [c, length] = NextUtf8(utf8, i);
        if (length == 0) {
            out.push_back(kReplacement);
            ok = false;
            i += BrokenUtf8Length(utf8, i);
            continue;
        }
        i += length;
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    if (exact != nullptr) *exact = ok;
    return out;
}

std::string Utf8FromUtf16(std::u16string_view text, bool* exact) {
    std::string out;
    out.reserve(text.size() * 3);
    bool ok = true;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
                                (static_cast<char32_t>(text[i + 1]) - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendUtf8(out, kReplacement);
            ok = false;
        } else {
            AppendUtf8(out, c);
        }
    }
    if (exact != nullptr) *exact = ok;
    return out;
}

std::string Utf8FromCodePage932(std::string_view bytes, bool* exact) {
    const TDecodedText decoded = DecodeCodePage932(bytes);
    if (exact != nullptr) *exact = decoded.exact;
    return Utf8FromUtf16(decoded.text);
}

TEncodedText CodePage932FromUtf8(std::string_view utf8) {
    bool valid = true;
    const std::u16string text = Utf16FromUtf8(utf8, &valid);
    TEncodedText encoded = EncodeCodePage932(text);
    encoded.exact = encoded.exact && valid;
    return encoded;
}

#ifdef _WIN32
namespace {

// Without the extended-length prefix the wide file API refuses names of MAX_PATH (260)
// characters and more. A long absolute name gets it here, where every native path is
// made, with room left for the names a folder is joined with (JWC_TEMP.TXT, the
// temporary bitmap); the prefix turns off the API's own clean-up, so separators are
// made backslashes first. Shown texts drop the prefix again (Utf16FromPath).
constexpr size_t kExtendedLengthFrom = 200;
constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

std::wstring ExtendedLengthForm(std::wstring name) {
    if (name.size() < kExtendedLengthFrom || name.starts_with(kExtendedPrefix)) return name;
    for (wchar_t& c : name)
        if (c == L'/') c = L'\\';
    name = std::filesystem::path(name).lexically_normal().native();  // no "." or ".." left
    const bool drive = name.size() >= 3 && name[1] == L':' && name[2] == L'\\';
    if (drive) return std::wstring(kExtendedPrefix) + name;
    if (name.starts_with(L"\\\\")) return std::wstring(kExtendedUncPrefix) + name.substr(2);
    return name;  // a relative name is left to the API
}

std::wstring WithoutExtendedPrefix(const std::wstring& name) {
    if (name.starts_with(kExtendedUncPrefix))
        return L"\\\\" + name.substr(kExtendedUncPrefix.size());
    if (name.starts_with(kExtendedPrefix)) return name.substr(kExtendedPrefix.size());
    return name;
}

}  // namespace
#endif

std::filesystem::path PathFromUtf16(std::u16string_view text) {
#ifdef _WIN32
    return std::filesystem::path(ExtendedLengthForm(std::wstring(text.begin(), text.end())));
#else
    return std::filesystem::path(Utf8FromUtf16(text));
#endif
}

std::u16string Utf16FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::wstring native = WithoutExtendedPrefix(path.native());
    return std::u16string(native.begin(), native.end());
#else
    return Utf16FromUtf8(path.native());
#endif
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
#ifdef _WIN32
    return PathFromUtf16(Utf16FromUtf8(utf8));
#else
    return std::filesystem::path(std::string(utf8));
#endif
}

std::string Utf8FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return Utf8FromUtf16(Utf16FromPath(path));
#else
    return path.native();
#endif
}

}  // namespace veldra
