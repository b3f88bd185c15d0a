#include "cli/command_line.h"

#include <charconv>
#include <cmath>

namespace veldra::cli {

namespace {

// Longer texts are no number a user types; they are refused before any parse.
constexpr size_t kMaxNumberText = 64;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t SkipDigits(std::string_view text, size_t i, size_t& count) {
    while (i < text.size() && IsDigit(text[i])) ++i, ++count;
    return i;
}

// [sign] digits [. digits] [(e|E) [sign] digits], at least one digit before the exponent.
bool HasNumberSyntax(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    i = SkipDigits(text, i, digits);
    if (i < text.size() && text[i] == '.') i = SkipDigits(text, i + 1, digits);
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        size_t exponentDigits = 0;
        i = SkipDigits(text, i, exponentDigits);
        if (exponentDigits == 0) return false;
    }
    return i == text.size();
}

}  // namespace

bool TCommandLine::Next() {
    if (next_ >= args_.size()) return false;
    name_ = args_[next_++];
    inline_.reset();
    const size_t eq = name_.find('=');
    if (name_.starts_with("--") && eq != std::string::npos) {
        inline_ = name_.substr(eq + 1);
        name_.resize(eq);
    }
    return true;
}

std::optional<std::string> TCommandLine::Value() {
    if (inline_) return inline_;
    if (next_ >= args_.size()) return std::nullopt;
    return args_[next_++];
}

bool ParseNumber(std::string_view text, double& value) {
    if (text.size() > kMaxNumberText || !HasNumberSyntax(text)) return false;
    // from_chars takes no leading '+'.
    if (text[0] == '+') text.remove_prefix(1);
    double parsed = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool ParseWholeNumber(std::string_view text, int32_t lo, int32_t hi, int32_t& value) {
    double parsed = 0.0;
    if (!ParseNumber(text, parsed) || parsed != std::floor(parsed) || parsed < lo || parsed > hi)
        return false;
    value = static_cast<int32_t>(parsed);
    return true;
}

}  // namespace veldra::cli
