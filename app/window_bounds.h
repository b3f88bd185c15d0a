#pragma once

// Where a window comes back from its saved bounds, and where its frame stands when
// it is closed.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

class QWidget;

namespace veldra {

// The saved bounds (frame origin, client size) limited to the available area of the
// screen that shows their top strip (the nearest screen when none does):
// no larger than that area but never below `minimum`, moved inside it where they
// stick out. A screen removed since, or a settings file holding any number, so
// never gives a window larger than a screen or out of reach.
QRect RestoredBounds(QPoint savedOrigin, QSize savedSize, const QList<QRect>& availableScreens,
                     QSize minimum);

// The top-left corner of the window's frame on the screen as the platform knows it,
// or none where the toolkit's own position is to be trusted (see window_frame_*.cpp).
std::optional<QPoint> PlatformFrameOrigin(QWidget& window);

}  // namespace veldra
