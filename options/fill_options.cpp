#include "options/fill_options.h"

#include <algorithm>

#include "common/my_func.h"

namespace veldra {

int32_t ArcDivisionsOfText(std::string_view text) {
    return std::clamp(ParseIntOrZero(text), kMinArcDivisions, kMaxArcDivisions);
}

int32_t BitsPerPixelOfDepthItem(int32_t item) {
    return kColourDepthBits[std::clamp(item, 0, kLastColourDepthItem)];
}

}  // namespace veldra
