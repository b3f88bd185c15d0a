#include "display/canvas/canvas_guard.h"

#include <cmath>

namespace veldra {

bool ClipSegmentToBox(TGuardPoint& a, TGuardPoint& b, const TGuardBox& box) {
    // Liang-Barsky: the segment is a + t (b - a), t in [0, 1].
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - box.left, box.right - a.x, a.y - box.top, box.bottom - a.y};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] < 0.0) return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0.0) {
            if (t > t1) return false;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return false;
            if (t < t1) t1 = t;
        }
    }
    const TGuardPoint start{a.x + t0 * dx, a.y + t0 * dy};
    const TGuardPoint end{a.x + t1 * dx, a.y + t1 * dy};
    if (t1 < 1.0) b = end;
    if (t0 > 0.0) a = start;
    return true;
}

namespace {

// One Sutherland-Hodgman stage against the half plane of one box side.
// side: 0 left, 1 right, 2 top, 3 bottom.
bool Inside(const TGuardPoint& p, int side, const TGuardBox& box) {
    switch (side) {
        case 0:
            return p.x >= box.left;
        case 1:
            return p.x <= box.right;
        case 2:
            return p.y >= box.top;
        default:
            return p.y <= box.bottom;
    }
}

TGuardPoint Cross(const TGuardPoint& a, const TGuardPoint& b, int side, const TGuardBox& box) {
    if (side < 2) {
        const double x = side == 0 ? box.left : box.right;
        const double t = (x - a.x) / (b.x - a.x);
        return {x, a.y + t * (b.y - a.y)};
    }
    const double y = side == 2 ? box.top : box.bottom;
    const double t = (y - a.y) / (b.y - a.y);
    return {a.x + t * (b.x - a.x), y};
}

void ClipStage(const std::vector<TGuardPoint>& in, std::vector<TGuardPoint>& out, int side,
               const TGuardBox& box) {
    out.clear();
    const size_t n = in.size();
    for (size_t i = 0; i < n; ++i) {
        const TGuardPoint& cur = in[i];
        const TGuardPoint& prev = in[(i + n - 1) % n];
        const bool curIn = Inside(cur, side, box);
        const bool prevIn = Inside(prev, side, box);
        if (curIn != prevIn) out.push_back(Cross(prev, cur, side, box));
        if (curIn) out.push_back(cur);
    }
}

}  // namespace

void ClipPolygonToBox(const std::vector<TGuardPoint>& in, std::vector<TGuardPoint>& out,
                      std::vector<TGuardPoint>& scratch, const TGuardBox& box) {
    out.clear();
    if (in.size() < 3) return;
    ClipStage(in, scratch, 0, box);
    ClipStage(scratch, out, 1, box);
    ClipStage(out, scratch, 2, box);
    ClipStage(scratch, out, 3, box);
}

bool InsideBox(const std::vector<TGuardPoint>& points, const TGuardBox& box) {
    for (const TGuardPoint& p : points) {
        if (!(p.x >= box.left && p.x <= box.right && p.y >= box.top && p.y <= box.bottom)) {
            return false;
        }
    }
    return true;
}

}  // namespace veldra
