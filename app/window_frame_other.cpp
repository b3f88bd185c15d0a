// Platforms where the toolkit's own frame position is right.

#include "app/window_bounds.h"

namespace veldra {

std::optional<QPoint> PlatformFrameOrigin(QWidget&) {
    return std::nullopt;
}

bool PlaceFrame(QWidget&, QPoint) {
    return false;
}

}  // namespace veldra
