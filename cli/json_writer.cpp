#include "cli/json_writer.h"

#include <charconv>
#include <cmath>

#include <nlohmann/json.hpp>

namespace veldra::cli {

void TJsonWriter::Number(double value) {
    if (!std::isfinite(value)) {
        Raw("null");
        return;
    }
    // The digits nlohmann::json's dump uses, so streamed and tree output match.
    char text[64];
    const char* end = nlohmann::detail::to_chars(text, text + sizeof text, value);
    Raw(std::string_view(text, static_cast<size_t>(end - text)));
}

void TJsonWriter::Number(int64_t value) {
    char text[24];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    (void)error;  // 24 characters hold every 64-bit value
    Raw(std::string_view(text, static_cast<size_t>(end - text)));
}

bool TJsonWriter::Flush() {
    if (!buffer_.empty() && !failed_)
        failed_ = std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size();
    buffer_.clear();
    failed_ = std::fflush(file_) != 0 || failed_;
    return !failed_;
}

}  // namespace veldra::cli
