#include "display/pictures/img_convert.h"

namespace veldra {

void PictureSizeOf(std::string_view, int32_t& width, int32_t& height) {
    width = 0;
    height = 0;
}

bool ConvertPictureToBitmap(std::string_view, std::string_view, int32_t) {
    return false;
}

}  // namespace veldra
