#pragma once

// The one code page 932 (Shift-JIS, the Windows variant with the NEC and IBM
// extensions) converter. Texts of the exchange and settings files stay code page 932
// bytes inside the program; they are converted here, at the edges: to UTF-16 for the
// toolkit and the wide file API, to UTF-8 for the command line's output and POSIX paths.
//
// The table is the system's own: MultiByteToWideChar/WideCharToMultiByte with code
// page 932 on Windows, glibc's iconv "CP932" elsewhere.
//
// One error policy for every caller:
// - decoding: each byte that starts no character (a lead byte without a valid trail
//   byte, an unassigned code) becomes U+FFFD and decoding goes on at the next byte, so
//   an ASCII byte after a broken lead byte is kept;
// - encoding: only exact round trips count. A character whose bytes would decode to
//   another character (the one-way mappings of U+00A5, U+203E, U+301C, U+2212 that some
//   tables have: U+00A5 would become the path separator 0x5C) has no code page 932 form,
//   nor has any character outside the table, nor an unpaired surrogate or a byte that is
//   no UTF-8; each becomes '?' (never a byte that could read as a lead byte);
// - `exact` says whether anything was replaced; callers that must not guess (file
//   names, the picture path handed to the host) refuse when it is false.

#include <filesystem>
#include <string>
#include <string_view>

namespace veldra {

struct TDecodedText {
    std::u16string text;
    bool exact = true;  // no byte was replaced by U+FFFD
};

struct TEncodedText {
    std::string bytes;
    bool exact = true;  // no character was replaced by '?'
};

TDecodedText DecodeCodePage932(std::string_view bytes);
TEncodedText EncodeCodePage932(std::u16string_view text);

// The same through UTF-8 (invalid UTF-8 counts as a character without a form).
std::string Utf8FromCodePage932(std::string_view bytes, bool* exact = nullptr);
TEncodedText CodePage932FromUtf8(std::string_view utf8);

// UTF-8 and UTF-16 of each other; invalid input becomes U+FFFD and clears `exact`.
std::u16string Utf16FromUtf8(std::string_view utf8, bool* exact = nullptr);
std::string Utf8FromUtf16(std::u16string_view text, bool* exact = nullptr);

// The native path of a UTF-16 text (the toolkit's), and back: UTF-16 on Windows, UTF-8
// elsewhere, never the 8-bit ANSI code page.
std::filesystem::path PathFromUtf16(std::u16string_view text);
std::u16string Utf16FromPath(const std::filesystem::path& path);
// The same for UTF-8 texts (the command line's arguments, the fill options' paths).
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace veldra
