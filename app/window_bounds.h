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

// A window system that counts device pixels against the toolkit's logical ones, which
// are scaled about the screen's origin (QT_SCALE_FACTOR, high-DPI screens). Each way
// rounds once to the nearest pixel, so at any ratio of 1 or more a logical position
// taken to device pixels and back is the same number: a saved position comes back
// exactly, however often the window is opened and closed.
int DeviceFromLogical(int logical, int screenOrigin, double ratio);
int LogicalFromDevice(int device, int screenOrigin, double ratio);

// The top-left corner of the window's frame on the screen as the platform knows it,
// or none where the toolkit's own position is to be trusted (see window_frame_*.cpp).
std::optional<QPoint> PlatformFrameOrigin(QWidget& window);

// Puts the window's frame where PlatformFrameOrigin then gives `origin`, to the
// device pixel. False where the platform leaves that to the toolkit's move: the
// toolkit places the client area and rounds the frame's margin on its own, which at
// a ratio like 1.5 cannot reach every position.
bool PlaceFrame(QWidget& window, QPoint origin);

}  // namespace veldra
