#include "app/window_bounds.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veldra {

namespace {

// The title bar's share of a window: what must stay on a screen to drag it back.
constexpr int kTopStripHeight = 30;
// Stands in for the screen where the toolkit reports none.
constexpr QRect kNoScreen(0, 0, 1024, 768);

int FitInto(int start, int length, int areaStart, int areaLength) {
    if (length >= areaLength) return areaStart;
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}

// Halves away from zero, like the toolkit; a position beyond an int stays at its end.
int RoundToInt(double value) {
    constexpr double kLow = std::numeric_limits<int>::min(),
                     kHigh = std::numeric_limits<int>::max();
    return static_cast<int>(std::round(std::clamp(value, kLow, kHigh)));
}

}  // namespace

int DeviceFromLogical(int logical, int screenOrigin, double ratio) {
    if (!(ratio > 0) || !std::isfinite(ratio)) return logical;
    return RoundToInt(screenOrigin + (double(logical) - screenOrigin) * ratio);
}

int LogicalFromDevice(int device, int screenOrigin, double ratio) {
    if (!(ratio > 0) || !std::isfinite(ratio)) return device;
    return RoundToInt(screenOrigin + (double(device) - screenOrigin) / ratio);
}

QRect RestoredBounds(QPoint savedOrigin, QSize savedSize, const QList<QRect>& availableScreens,
                     QSize minimum) {
    const int width = std::max(savedSize.width(), minimum.width());
    const int height = std::max(savedSize.height(), minimum.height());
    // 64-bit corners: saved numbers may be anything a 32-bit field holds.
    const qint64 left = savedOrigin.x(), top = savedOrigin.y();
    const auto shows = [&](const QRect& area) {
        return left < qint64(area.left()) + area.width() && left + width > area.left() &&
               top < qint64(area.top()) + area.height() && top + kTopStripHeight > area.top();
    };
    const auto it = std::find_if(availableScreens.begin(), availableScreens.end(), shows);
    // A title bar off every screen comes back onto the nearest one.
    const auto distance = [&](const QRect& area) {
        const qint64 dx = left < area.left() ? area.left() - left
                          : left > qint64(area.left()) + area.width()
                              ? left - area.left() - area.width()
                              : 0;
        const qint64 dy = top < area.top() ? area.top() - top
                          : top > qint64(area.top()) + area.height()
                              ? top - area.top() - area.height()
                              : 0;
        return dx * dx + dy * dy;
    };
    const auto nearest =
        std::min_element(availableScreens.begin(), availableScreens.end(),
                         [&](const QRect& a, const QRect& b) { return distance(a) < distance(b); });
    const QRect area = it != availableScreens.end() ? *it
                       : availableScreens.isEmpty() ? kNoScreen
                                                    : *nearest;
    const int w = std::max(std::min(width, area.width()), minimum.width());
    const int h = std::max(std::min(height, area.height()), minimum.height());
    return QRect(FitInto(savedOrigin.x(), w, area.left(), area.width()),
                 FitInto(savedOrigin.y(), h, area.top(), area.height()), w, h);
}

}  // namespace veldra
