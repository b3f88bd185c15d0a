#pragma once

// Picture-placement texts: a text entity whose text is "^@BM" + path + "," +
// width [, height [, trim x [, trim y [, trim size]]]] places a picture file.

#include <optional>
#include <string>
#include <string_view>

namespace veldra {

inline constexpr std::string_view kPicturePrefix = "^@BM";

struct TPictureText {
    std::string path;  // Shift-JIS bytes, used unchanged
    double width = 0.0;
    double height = 0.0;    // equals the width when not given
    double trimX = 0.0;     // left edge of the shown part, fraction of the width
    double trimY = 0.0;     // bottom edge, fraction of the height
    double trimSize = 1.0;  // size of the shown part, fraction of both

    // True when the trim values ask for a part of the picture (beyond 1e-8).
    bool IsTrimmed() const;
};

// True when the text begins with the picture prefix.
bool HasPicturePrefix(std::string_view text);

// The parts of a picture-placement text; nothing when the prefix or the comma after
// it is missing. Numbers read tolerantly: empty or malformed ones give 0.
std::optional<TPictureText> ParsePictureText(std::string_view text);

}  // namespace veldra
