#pragma once

// JSON written piece by piece to a file, for documents too large to hold as a tree.
// Numbers and strings come out exactly as nlohmann::json's dump writes them (the same
// shortest round-trip digits for doubles, "null" for a double that is not finite), so
// a streamed document has the bytes of the tree it replaces.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace veldra::cli {

class TJsonWriter {
  public:
    explicit TJsonWriter(std::FILE* file) : file_(file) { buffer_.reserve(kFlushAt + 256); }
    ~TJsonWriter() { Flush(); }
    TJsonWriter(const TJsonWriter&) = delete;
    TJsonWriter& operator=(const TJsonWriter&) = delete;

    void Raw(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= kFlushAt) Flush();
    }
    void Raw(char c) {
        buffer_.push_back(c);
        if (buffer_.size() >= kFlushAt) Flush();
    }
    void Number(double value);
    void Number(int64_t value);
    void Bool(bool value) { Raw(value ? std::string_view("true") : std::string_view("false")); }
    // [x,y] without spaces.
    void Pair(double x, double y) {
        Raw('[');
        Number(x);
        Raw(',');
        Number(y);
        Raw(']');
    }
    // Writes what is buffered; false once any write has failed.
    bool Flush();

  private:
    static constexpr size_t kFlushAt = 1 << 16;
    std::FILE* file_;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace veldra::cli
