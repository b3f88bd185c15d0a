#pragma once

// The system's code page 932 table, one character at a time (code_page_932_posix.cpp,
// code_page_932_windows.cpp). Used by code_page_932.cpp only.

#include <string>
#include <string_view>

namespace veldra::detail {

class TCodePage932Table {
  public:
    TCodePage932Table();
    ~TCodePage932Table();
    TCodePage932Table(const TCodePage932Table&) = delete;
    TCodePage932Table& operator=(const TCodePage932Table&) = delete;

    // Appends the UTF-16 of one character's bytes (one byte, or a lead byte and its trail
    // byte); false, appending nothing, when the bytes are no character.
    bool Decode(std::string_view character, std::u16string& out);
    // Appends the bytes of one character (one code unit or a surrogate pair); false,
    // appending nothing, when the table has no bytes for it.
    bool Encode(std::u16string_view character, std::string& out);

  private:
    void* toUtf16_ = nullptr;
    void* fromUtf16_ = nullptr;
};

}  // namespace veldra::detail
