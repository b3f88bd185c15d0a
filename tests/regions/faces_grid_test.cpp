// The integer noding against the geometry library on the same drawings: the faces,
// their rings, depths and parents, the open ends and the joins must agree, on drawings
// dense in shared ends, T-junctions, collinear overlaps, nested islands and lines
// through one point. Drawings whose coordinates share no fine enough grid go to the
// library and still give their faces.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "regions/faces.h"
#include "regions/faces_linework.h"
#include "regions/faces_noding.h"
#include "regions_test_util.h"

namespace veldra {
namespace {

using test::AddLine;
using test::EmptyStore;
using test::FaceArea;

bool Close(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a) + std::fabs(b));
}

// Empty when both ways give the same build, else the first difference.
std::string Difference(const TJwwEntityStore& store, double gap) {
    TFaceOptions options;
    options.gapTolerance = gap;
    const TFaceBuild grid = BuildFacesUsing(TFaceNoding::Grid, store, 24, options);
    const TFaceBuild library = BuildFacesUsing(TFaceNoding::LibraryOnly, store, 24, options);
    char text[200];
    if (grid.faces.size() != library.faces.size()) {
        std::snprintf(text, sizeof text, "%zu faces, library %zu", grid.faces.size(),
                      library.faces.size());
        return text;
    }
    // Each face matched to one of the library's: faces of equal area may come in either
    // order, their crossings being rounded differently. Points are not compared: where
    // a crossing lies within an ulp of a drawn end or of zero, the library's rounding
    // (from its intervals) may put it on the end, dropping it from the ring as a repeat,
    // or below zero, changing which point is lowest.
    auto parentArea = [](const TFaceBuild& build, const TFaceRegion& f) {
        return f.parent < 0 ? 0.0 : FaceArea(build.faces[static_cast<size_t>(f.parent)]);
    };
    std::vector<char> used(library.faces.size(), 0);
    for (size_t i = 0; i < grid.faces.size(); ++i) {
        const TFaceRegion& g = grid.faces[i];
        bool matched = false;
        for (size_t k = 0; k < library.faces.size() && !matched; ++k) {
            const TFaceRegion& l = library.faces[k];
            if (used[k] || g.depth != l.depth || g.filled != l.filled ||
                g.holes.size() != l.holes.size() || !Close(FaceArea(g), FaceArea(l)) ||
                !Close(parentArea(grid, g), parentArea(library, l))) {
                continue;
            }
            used[k] = 1;
            matched = true;
        }
        if (!matched) {
            std::snprintf(text, sizeof text, "face %zu (depth %d, area %.17g) not in the library's",
                          i, g.depth, FaceArea(g));
            return text;
        }
    }
    if (grid.openEnds.size() != library.openEnds.size()) return "open ends";
    for (size_t i = 0; i < grid.openEnds.size(); ++i) {
        if (grid.openEnds[i].X != library.openEnds[i].X ||
            grid.openEnds[i].Y != library.openEnds[i].Y) {
            return "open end " + std::to_string(i);
        }
    }
    if (grid.joins.size() != library.joins.size()) return "joins";
    return {};
}

// Lines on a coarse lattice (shared ends, overlaps, lines through one point), squares
// nested in each other, and lines on binary fractions, with T-junctions at midpoints.
TJwwEntityStore RandomDrawing(std::mt19937& rng) {
    TJwwEntityStore store = EmptyStore();
    std::uniform_int_distribution<int> lattice(0, 8);
    std::uniform_int_distribution<int> fine(0, 8 * 64);
    const bool onLattice = rng() % 2 == 0;
    auto point = [&] {
        return onLattice ? TRealPoint{double(lattice(rng)), double(lattice(rng))}
                         : TRealPoint{fine(rng) / 64.0, fine(rng) / 64.0};
    };
    std::vector<TFaceEdge> lines;
    const int count = 4 + int(rng() % 24);
    for (int i = 0; i < count; ++i) {
        TFaceEdge e{point(), point()};
        if (rng() % 5 == 0 && !lines.empty()) {
            const TFaceEdge& o = lines[rng() % lines.size()];
            e.b = {(o.a.X + o.b.X) / 2, (o.a.Y + o.b.Y) / 2};
        }
        lines.push_back(e);
    }
    for (int k = int(rng() % 3); k > 0; --k) {
        const double lo = lattice(rng) / 2.0, hi = lo + 1 + lattice(rng) / 4.0;
        lines.push_back({{lo, lo}, {hi, lo}});
        lines.push_back({{hi, lo}, {hi, hi}});
        lines.push_back({{hi, hi}, {lo, hi}});
        lines.push_back({{lo, hi}, {lo, lo}});
    }
    for (const TFaceEdge& e : lines) AddLine(store, e.a.X, e.a.Y, e.b.X, e.b.Y);
    return store;
}

TEST(FacesGrid, TheIntegerNodingGivesWhatTheLibraryGives) {
    std::mt19937 rng(20261210);
    const double gaps[] = {0.0, 0.0, 0.3};
    for (int round = 0; round < 300; ++round) {
        const TJwwEntityStore store = RandomDrawing(rng);
        const double gap = gaps[rng() % 3];
        const std::string difference = Difference(store, gap);
        if (difference.empty()) continue;
        std::string lines;
        for (const TJwwEntLine& l : store.lines) {
            char text[120];
            std::snprintf(text, sizeof text, " %.17g %.17g %.17g %.17g\n", l.x1, l.y1, l.x2, l.y2);
            lines += text;
        }
        ADD_FAILURE() << "round " << round << " gap " << gap << ": " << difference << "\n" << lines;
        return;
    }
}

TEST(FacesGrid, IslandsInAHatchAndCirclesKeepTheirDepths) {
    // A hatched square with a square island holding a circle, and a square dangling
    // from the island by one line: nesting found by the ray from each piece's top end.
    TJwwEntityStore store = EmptyStore();
    auto square = [&store](double lo, double hi) {
        AddLine(store, lo, lo, hi, lo);
        AddLine(store, hi, lo, hi, hi);
        AddLine(store, hi, hi, lo, hi);
        AddLine(store, lo, hi, lo, lo);
    };
    square(0, 64);
    for (int i = 1; i < 8; ++i) AddLine(store, 0, i * 2.0, 64, i * 2.0);
    square(24, 40);
    square(28, 36);
    AddLine(store, 36, 36, 38, 38);
    test::AddCircle(store, 32, 32, 2);
    EXPECT_EQ(Difference(store, 0), "");
    const TFaceBuild build = BuildFaces(store, 24, {});
    int32_t deepest = 0;
    for (const TFaceRegion& f : build.faces) deepest = std::max(deepest, f.depth);
    EXPECT_EQ(deepest, 3);
    EXPECT_EQ(build.openEnds.size(), 1u);
}

TEST(FacesGrid, CoordinatesOnNoCommonGridGoToTheLibrary) {
    // A triangle near 1000 and a line from 1e-30: no grid of 62 bits holds both, so the
    // noding refuses and the library builds the faces.
    std::vector<TFaceEdge> edges = {{{1e3, 1e3}, {1e3 + 4, 1e3}},
                                    {{1e3 + 4, 1e3}, {1e3 + 4, 1e3 + 4}},
                                    {{1e3 + 4, 1e3 + 4}, {1e3, 1e3}},
                                    {{1e-30, 0}, {1, 1}}};
    TGridNoding noding;
    EXPECT_EQ(noding.Node(edges, {}), TGridNoding::TResult::NotOnGrid);
    TJwwEntityStore store = EmptyStore();
    for (const TFaceEdge& e : edges) AddLine(store, e.a.X, e.a.Y, e.b.X, e.b.Y);
    const TFaceBuild build = BuildFaces(store, 24, {});
    ASSERT_EQ(build.faces.size(), 1u);
    EXPECT_NEAR(FaceArea(build.faces[0]), 8.0, 1e-6);

    // On a grid, lines through one point and overlapping pieces are one vertex and one
    // piece each.
    TGridNoding star;
    const std::vector<TFaceEdge> through = {
        {{0, 0}, {4, 4}}, {{4, 0}, {0, 4}}, {{2, 0}, {2, 4}}, {{0, 2}, {4, 2}}, {{1, 1}, {3, 3}}};
    ASSERT_EQ(star.Node(through, {}), TGridNoding::TResult::Noded);
    EXPECT_EQ(star.VertexCount(), 11u);
    EXPECT_EQ(star.Pieces().size(), 10u);
}

TEST(FacesGrid, TheQuickEndCheckSeesEveryNearPair) {
    auto lines = [](std::vector<TRealPoint> ends) {
        std::vector<TFacePolyline> out;
        for (size_t i = 0; i + 1 < ends.size(); i += 2)
            out.push_back({{ends[i], ends[i + 1]}, false});
        return out;
    };
    // Shared exactly or far apart: nothing to snap.
    EXPECT_FALSE(EndsNeedSnapping(lines({{0, 0}, {1, 0}, {1, 0}, {1, 1}, {1, 1}, {0, 0}})));
    // Near pairs on either side of a cell's side and across a cell's corner (cells are
    // 1e-6 wide), far from the origin and near it.
    const double side = 3e-6;
    for (const TRealPoint& at : {TRealPoint{0, 0}, TRealPoint{12345.0, -678.0}}) {
        for (const TRealPoint& step : {TRealPoint{6e-9, 0}, TRealPoint{0, -6e-9},
                                       TRealPoint{-6e-9, 6e-9}, TRealPoint{9e-9, 9e-9}}) {
            const TRealPoint p{at.X + side, at.Y + side};
            const TRealPoint q{p.X + step.X, p.Y + step.Y};
            EXPECT_TRUE(EndsNeedSnapping(lines({p, {5, 5}, {7, 7}, q}))) << at.X << " " << step.X;
            std::vector<TFacePolyline> snapped = lines({p, {5, 5}, {7, 7}, q});
            SnapCloseEnds(snapped);
            EXPECT_EQ(snapped[1].points[1].X, p.X);
            EXPECT_EQ(snapped[1].points[1].Y, p.Y);
        }
    }
    // Just over the tolerance: left apart (the check may send them to the whole pass).
    std::vector<TFacePolyline> apart = lines({{0.5, 0.5}, {5, 5}, {7, 7}, {0.5 + 2e-8, 0.5}});
    SnapCloseEnds(apart);
    EXPECT_EQ(apart[1].points[1].X, 0.5 + 2e-8);
    EXPECT_FALSE(EndsNeedSnapping(lines({{0.5, 0.5}, {5, 5}, {7, 7}, {0.5 + 1e-4, 0.5}})));
}

}  // namespace
}  // namespace veldra
