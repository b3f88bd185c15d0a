#include "display/canvas/canvas_fill.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <random>

#include "display/canvas/canvas.h"
#include "display/canvas/canvas_wide.h"

namespace veldra {
namespace {

TRasterTarget TargetOf(QImage& image) {
    return {reinterpret_cast<uint32_t*>(image.bits()), image.bytesPerLine() / 4, image.width(),
            image.height()};
}

// Distance from the pixel centre to the nearest edge.
double DistanceToEdge(const std::vector<TGuardPoint>& points, int x, int y) {
    const double cx = x, cy = y;
    double best = 1e9;
    for (size_t i = 0; i < points.size(); ++i) {
        const TGuardPoint& a = points[i];
        const TGuardPoint& b = points[(i + 1) % points.size()];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double t =
            std::clamp(((cx - a.x) * dx + (cy - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        best = std::min(best, std::hypot(cx - a.x - t * dx, cy - a.y - t * dy));
    }
    return best;
}

// The even-odd fill gives the pixels Qt's rasteriser gives for the polygon moved
// by half a pixel (Qt's pixel centres), on random self-intersecting polygons
// partly off the image; the two may only disagree where a centre lies within
// Qt's fixed-point precision (1/64 pixel) of an edge.
TEST(CanvasFillTest, EvenOddFillMatchesQtsRasteriser) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> coord(-10, 50);
    std::uniform_int_distribution<int> count(3, 9);
    std::vector<double> crossings;
    int ties = 0;
    for (int k = 0; k < 300; ++k) {
        std::vector<TGuardPoint> points(static_cast<size_t>(count(rng)));
        QPolygonF polygon;
        for (TGuardPoint& p : points) {
            p = {coord(rng), coord(rng)};
            polygon.append(QPointF(p.x + 0.5, p.y + 0.5));
        }
        QImage mine(40, 36, QImage::Format_RGB32), qt(40, 36, QImage::Format_RGB32);
        mine.fill(0xFFFFFFFFu);
        qt.fill(0xFFFFFFFFu);
        FillPolygonEvenOdd(TargetOf(mine), points, 0x123456, crossings);
        QPainter painter(&qt);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x12, 0x34, 0x56));
        painter.drawPolygon(polygon, Qt::OddEvenFill);
        painter.end();
        for (int y = 0; y < 36; ++y) {
            for (int x = 0; x < 40; ++x) {
                if (mine.pixel(x, y) == qt.pixel(x, y)) continue;
                ++ties;
                ASSERT_LT(DistanceToEdge(points, x, y), 1.0 / 32) << k << ": " << x << "," << y;
            }
        }
    }
    EXPECT_LT(ties, 300);  // of 432000 pixels
}

// A wide line covers every pixel centre well within half its width of the segment
// and none well beyond it.
TEST(CanvasFillTest, WideLinesCoverTheirWidthInEveryDirection) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> coord(-10, 60);
    std::uniform_int_distribution<int> width(2, 9);
    for (int k = 0; k < 200; ++k) {
        const double x0 = std::round(coord(rng)), y0 = std::round(coord(rng));
        const double x1 = std::round(coord(rng)), y1 = std::round(coord(rng));
        const double w = width(rng);
        QImage image(50, 50, QImage::Format_RGB32);
        image.fill(0xFFFFFFFFu);
        RasterWideLine(TargetOf(image), x0, y0, x1, y1, w, 0);
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 50; ++x) {
                // Distance from the pixel centre to the segment.
                const double dx = x1 - x0, dy = y1 - y0, l2 = dx * dx + dy * dy;
                double t = l2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / l2 : 0;
                t = std::clamp(t, 0.0, 1.0);
                const double d = std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
                const bool inked = image.pixel(x, y) != 0xFFFFFFFFu;
                if (d < w / 2 - 0.1) {
                    ASSERT_TRUE(inked) << k << ": " << x << "," << y;
                }
                if (d > w / 2 + 0.1) {
                    ASSERT_FALSE(inked) << k << ": " << x << "," << y;
                }
            }
        }
    }
}

TEST(CanvasFillTest, EvenWidthsCoverExactlyThatManyRows) {
    for (int w : {2, 4, 6}) {
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(0xFFFFFFFFu);
        RasterWideLine(TargetOf(image), 5, 20, 35, 20, w, 0);
        int rows = 0;
        for (int y = 0; y < 40; ++y) rows += image.pixel(20, y) != 0xFFFFFFFFu;
        EXPECT_EQ(rows, w);
    }
}

// A convex polygon drawn with a thin pen in the brush's colour is painted without
// holes: in every row and every column the painted pixels form one run, so no
// pixel between the outline and the fill is left over along sloped edges.
TEST(CanvasFillTest, ThinOutlineAndFillLeaveNoGapBetweenThem) {
    std::mt19937 rng(17);
    std::uniform_int_distribution<int> coord(-8, 48);
    std::uniform_int_distribution<int> count(3, 8);
    for (int k = 0; k < 400; ++k) {
        // Convex hull (monotone chain) of a few random points.
        std::vector<TPixelPoint> pts(static_cast<size_t>(count(rng)));
        for (TPixelPoint& p : pts) p = {coord(rng), coord(rng)};
        std::sort(pts.begin(), pts.end(), [](const TPixelPoint& a, const TPixelPoint& b) {
            return a.x != b.x ? a.x < b.x : a.y < b.y;
        });
        auto cross = [](const TPixelPoint& o, const TPixelPoint& a, const TPixelPoint& b) {
            return int64_t{a.x - o.x} * (b.y - o.y) - int64_t{a.y - o.y} * (b.x - o.x);
        };
        std::vector<TPixelPoint> hull;
        for (int pass = 0; pass < 2; ++pass) {
            const size_t start = hull.size();
            for (const TPixelPoint& p : pts) {
                while (hull.size() >= start + 2 &&
                       cross(hull[hull.size() - 2], hull.back(), p) <= 0)
                    hull.pop_back();
                hull.push_back(p);
            }
            hull.pop_back();
            std::reverse(pts.begin(), pts.end());
        }
        if (hull.size() < 3) continue;
        TCanvas c(40, 36);
        c.SetPenColor(0x0000FF);
        c.SetBrushColor(0x0000FF);
        c.Polygon(hull.data(), static_cast<int32_t>(hull.size()));
        auto painted = [&c](int x, int y) { return c.GetPixel(x, y) != 0xFFFFFFu; };
        // The XOR fill (painted by Qt) covers the same pixels as the copy fill.
        TCanvas fillOnly(40, 36), xorFill(40, 36);
        for (TCanvas* f : {&fillOnly, &xorFill}) {
            f->SetPenStyle(TPenStyle::Null);
            f->SetBrushColor(0x0000FF);
            if (f == &xorFill) f->SetROP2(TMixMode::XorPen);
            f->Polygon(hull.data(), static_cast<int32_t>(hull.size()));
        }
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(fillOnly.GetPixel(x, y) == 0x0000FFu, xorFill.GetPixel(x, y) != 0xFFFFFFu)
                    << k << ": " << x << "," << y;
        for (int y = 0; y < 36; ++y) {
            int first = 40, last = -1;
            for (int x = 0; x < 40; ++x) {
                if (painted(x, y)) first = std::min(first, x), last = x;
            }
            for (int x = first; x < last; ++x)
                ASSERT_TRUE(painted(x, y)) << k << ": " << x << "," << y;
        }
        for (int x = 0; x < 40; ++x) {
            int first = 36, last = -1;
            for (int y = 0; y < 36; ++y) {
                if (painted(x, y)) first = std::min(first, y), last = y;
            }
            for (int y = first; y < last; ++y)
                ASSERT_TRUE(painted(x, y)) << k << ": " << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace veldra
