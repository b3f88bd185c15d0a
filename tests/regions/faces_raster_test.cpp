// The faces against a flood fill: random drawings of lines on a lattice are drawn onto
// a fine raster; the pixels a 4-connected flood fill cannot reach from the border are
// the closed area. Faces and closed area must agree within 2.5 pixels times the length
// of the lines: the band the drawn lines take up, and the pockets the raster closes
// where two lines meet at a sharp angle. The same
// holds for a single picked face and the flood fill from the picked pixel.
//
// Lattice end points keep every gap between two lines that do not touch at 1/15 of a
// lattice step or more, far wider than a pixel, so the raster never closes a gap that
// the faces leave open.

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <random>
#include <sstream>

#include "regions/faces.h"
#include "regions_test_util.h"

namespace veldra {
namespace {

constexpr int kSide = 1600;    // pixels
constexpr double kLow = -0.5;  // raster covers [kLow, kHigh] in both axes
constexpr double kHigh = 10.5;
constexpr double kPixel = (kHigh - kLow) / kSide;

struct TRaster {
    std::vector<uint8_t> cell =
        std::vector<uint8_t>(size_t(kSide) * kSide, 0);  // 1 line, 2 reached
    uint8_t& At(int x, int y) { return cell[size_t(y) * kSide + x]; }

    void DrawLine(double x1, double y1, double x2, double y2) {
        const double length = std::hypot(x2 - x1, y2 - y1);
        const int steps = static_cast<int>(length / (kPixel / 3)) + 1;
        for (int i = 0; i <= steps; ++i) {
            const double t = double(i) / steps;
            At(int((x1 + t * (x2 - x1) - kLow) / kPixel),
               int((y1 + t * (y2 - y1) - kLow) / kPixel)) = 1;
        }
    }

    // Marks what a 4-connected fill from the seeds reaches; returns the pixel count.
    size_t Flood(std::deque<std::pair<int, int>> queue) {
        size_t count = 0;
        for (auto [x, y] : queue) At(x, y) = 2;
        while (!queue.empty()) {
            auto [x, y] = queue.front();
            queue.pop_front();
            ++count;
            const int nx[4] = {x + 1, x - 1, x, x};
            const int ny[4] = {y, y, y + 1, y - 1};
            for (int k = 0; k < 4; ++k) {
                if (nx[k] < 0 || ny[k] < 0 || nx[k] >= kSide || ny[k] >= kSide) continue;
                if (At(nx[k], ny[k]) != 0) continue;
                At(nx[k], ny[k]) = 2;
                queue.emplace_back(nx[k], ny[k]);
            }
        }
        return count;
    }
};

using test::FaceArea;

TEST(FacesRaster, FacesCoverWhatAFloodFillFindsClosed) {
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int> coord(0, 10);
    for (int drawing = 0; drawing < 12; ++drawing) {
        TJwwEntityStore store = test::EmptyStore();
        TRaster raster;
        double length = 0.0;
        std::ostringstream lines;
        const int count = 6 + drawing % 8;
        for (int i = 0; i < count; ++i) {
            const double x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
            if (x1 == x2 && y1 == y2) continue;
            test::AddLine(store, x1, y1, x2, y2);
            raster.DrawLine(x1, y1, x2, y2);
            length += std::hypot(x2 - x1, y2 - y1);
            lines << "(" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ") ";
        }
        TFaceOptions options;
        options.islands = TIslandMode::Ignore;
        const TFaceBuild build = BuildFaces(store, 24, options);
        double faces = 0.0;
        for (const TFaceRegion& face : build.faces) faces += FaceArea(face);

        std::deque<std::pair<int, int>> border;
        for (int k = 0; k < kSide; ++k) {
            border.emplace_back(k, 0);
            border.emplace_back(0, k);
        }
        raster.Flood(border);
        size_t closed = 0;
        for (uint8_t c : raster.cell) closed += c == 0;
        const double closedArea = static_cast<double>(closed) * kPixel * kPixel;
        const double band = 2.5 * length * kPixel;
        SCOPED_TRACE("drawing " + std::to_string(drawing) + ": " + lines.str());
        EXPECT_LE(closedArea - faces, band);
        EXPECT_LE(faces - closedArea, band);

        // One picked face alone against the flood fill from its pixel.
        for (size_t f = 0; f < build.faces.size() && f < 3; ++f) {
            const TAryRealPoint& outer = build.faces[f].outer;
            // A point just inside the first corner, along the bisector of its edges.
            const TRealPoint a = outer[0], b = outer[1], c = outer[outer.size() - 2];
            const double ux = b.X - a.X, uy = b.Y - a.Y, vx = c.X - a.X, vy = c.Y - a.Y;
            const double lu = std::hypot(ux, uy), lv = std::hypot(vx, vy);
            const TRealPoint pick{a.X + 0.05 * (ux / lu + vx / lv),
                                  a.Y + 0.05 * (uy / lu + vy / lv)};
            std::vector<TFaceRegion> faces1 = build.faces;
            MarkFilledFaces(faces1, TIslandMode::OuterOnly, {pick});
            if (FaceAt(faces1, pick) != int32_t(f)) continue;
            const int px = int((pick.X - kLow) / kPixel), py = int((pick.Y - kLow) / kPixel);
            if (raster.At(px, py) != 0) continue;
            const size_t reached = raster.Flood({{px, py}});
            double picked = 0.0;
            for (const TFaceRegion& face : faces1) picked += face.filled ? FaceArea(face) : 0.0;
            EXPECT_NEAR(picked, FaceArea(build.faces[f]), 1e-12);
            EXPECT_LE(reached * kPixel * kPixel - picked, band) << "face " << f;
            EXPECT_LE(picked - reached * kPixel * kPixel, band) << "face " << f;
        }
    }
}

}  // namespace
}  // namespace veldra
