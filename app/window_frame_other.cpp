// Platforms where the toolkit's own frame position is right.

#include "app/window_bounds.h"

namespace veldra {

std::optional<QPoint> PlatformFrameOrigin(QWidget&) {
    return std::nullopt;
}

}  // namespace veldra
