#include "attributes/picture_text.h"

#include <cmath>
#include <vector>

#include "common/my_func.h"

namespace veldra {

namespace {

constexpr double kTrimTolerance = 1e-8;

std::vector<std::string_view> SplitAtCommas(std::string_view s) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        const size_t comma = s.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(s.substr(start));
            return fields;
        }
        fields.push_back(s.substr(start, comma - start));
        start = comma + 1;
    }
}

}  // namespace

bool TPictureText::IsTrimmed() const {
    return !(std::fabs(trimX) < kTrimTolerance && std::fabs(trimY) < kTrimTolerance &&
             std::fabs(trimSize - 1.0) < kTrimTolerance);
}

bool HasPicturePrefix(std::string_view text) {
    return text.starts_with(kPicturePrefix);
}

std::optional<TPictureText> ParsePictureText(std::string_view text) {
    if (!HasPicturePrefix(text)) return std::nullopt;
    const std::string_view rest = text.substr(kPicturePrefix.size());
    // A comma is a single byte that no Shift-JIS trail byte can be, so a plain
    // search finds the real separator.
    const size_t comma = rest.find(',');
    if (comma == std::string_view::npos) return std::nullopt;

    TPictureText picture;
    picture.path = std::string(rest.substr(0, comma));
    const std::vector<std::string_view> numbers = SplitAtCommas(rest.substr(comma + 1));
    picture.width = ParseRealOrZero(numbers[0]);
    picture.height = numbers.size() > 1 ? ParseRealOrZero(numbers[1]) : picture.width;
    if (numbers.size() > 2) picture.trimX = ParseRealOrZero(numbers[2]);
    if (numbers.size() > 3) picture.trimY = ParseRealOrZero(numbers[3]);
    if (numbers.size() > 4) picture.trimSize = ParseRealOrZero(numbers[4]);
    return picture;
}

}  // namespace veldra
