// The indexed loop search against the straightforward one on seeded random drawings:
// both must give the same polygons in the same order, to the bit. A difference is
// narrowed to a smallest drawing, printed as exchange-file lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "regions/region_bridges.h"
#include "regions/region_index.h"
#include "regions/regions.h"
#include "regions/regions_reference.h"
#include "regions/regions_segments.h"
#include "tests/regions/regions_drawing_gen.h"

namespace veldra {
namespace {

using test::TRandomDrawing;

bool SameBits(double a, double b) {
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

// Empty when both searches agree, otherwise where they first differ.
std::string Difference(const TRandomDrawing& d) {
    TAr2RealPoint fast, slow;
    BuildRegions(d.store, d.divisions, fast, d.filter);
    BuildRegionsReference(d.store, d.divisions, slow, d.filter);
    char text[200];
    if (fast.size() != slow.size()) {
        std::snprintf(text, sizeof text, "%zu polygons, reference %zu", fast.size(), slow.size());
        return text;
    }
    for (size_t i = 0; i < fast.size(); ++i) {
        if (fast[i].size() != slow[i].size()) {
            std::snprintf(text, sizeof text, "polygon %zu: %zu points, reference %zu", i,
                          fast[i].size(), slow[i].size());
            return text;
        }
        for (size_t p = 0; p < fast[i].size(); ++p) {
            if (!SameBits(fast[i][p].X, slow[i][p].X) || !SameBits(fast[i][p].Y, slow[i][p].Y)) {
                std::snprintf(text, sizeof text,
                              "polygon %zu point %zu: (%.17g %.17g), "
                              "reference (%.17g %.17g)",
                              i, p, fast[i][p].X, fast[i][p].Y, slow[i][p].X, slow[i][p].Y);
                return text;
            }
        }
    }
    return {};
}

// Drops entities one at a time while the difference stays.
TRandomDrawing Shrink(TRandomDrawing d) {
    for (bool shrunk = true; shrunk;) {
        shrunk = false;
        for (size_t i = d.EntityCount(); i-- > 0;) {
            TRandomDrawing smaller = d;
            smaller.RemoveEntity(i);
            if (!Difference(smaller).empty()) {
                d = std::move(smaller);
                shrunk = true;
            }
        }
    }
    return d;
}

void CheckSeeds(uint64_t firstSeed, int count, const test::TDrawingSize& size) {
    for (int i = 0; i < count; ++i) {
        uint64_t seed = firstSeed + static_cast<uint64_t>(i);
        TRandomDrawing drawing = test::GenerateDrawing(seed, size);
        std::string difference = Difference(drawing);
        if (difference.empty()) continue;
        TRandomDrawing smallest = Shrink(drawing);
        FAIL() << "seed " << seed << ": " << difference << "\nsmallest drawing ("
               << Difference(smallest) << "):\n"
               << smallest.Describe();
    }
}

TEST(RegionsDifferential, SmallDrawingsGiveIdenticalPolygons) {
    CheckSeeds(1000, 4000, {1, 12});
}

TEST(RegionsDifferential, MediumDrawingsGiveIdenticalPolygons) {
    CheckSeeds(50000, 300, {5, 60});
}

TEST(RegionsDifferential, LargeDrawingsGiveIdenticalPolygons) {
    CheckSeeds(90000, 8, {150, 400});
}

TEST(RegionsDifferential, SquareGridWithDanglingLinesGivesIdenticalPolygons) {
    // The benchmark's drawing: squares sharing edges, drawn square by square, a dangling
    // line after every tenth edge. Long snaking loops and many bridges.
    TRandomDrawing d;
    InitStore(d.store);
    d.store.state.groupScale.fill(1.0);
    int edges = 0;
    auto edge = [&](double x1, double y1, double x2, double y2) {
        d.store.lines.push_back({{}, 0, x1, y1, x2, y2});
        if (++edges % 10 == 0) d.store.lines.push_back({{}, 0, x1, y1, x1 - 0.3, y1 - 0.45});
    };
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 25; ++x) {
            if (y == 0) edge(x, y, x + 1, y);
            edge(x + 1, y, x + 1, y + 1);
            edge(x + 1, y + 1, x, y + 1);
            if (x == 0) edge(x, y + 1, x, y);
        }
    }
    EXPECT_EQ(Difference(d), "");
    TAr2RealPoint regions;
    BuildRegions(d.store, 24, regions);
    EXPECT_GT(regions.size(), 10u);
}

// Many small loops on a coarse lattice packed into a small box, so that the grid's
// cells overflow and are split; `nudged` moves some ends to just inside or just outside
// the tolerance, which turns the bridge memo off.
TRandomDrawing DenseLoops(uint64_t seed, bool nudged) {
    TRandomDrawing d;
    InitStore(d.store);
    std::mt19937_64 random(seed);
    auto lattice = [&] { return static_cast<double>(random() % 21) * 0.5; };
    auto nudge = [&](double v) {
        const double by[] = {0.0, 0.0, 0.0, 0.9e-8, -0.9e-8, 1.1e-8, -1.1e-8};
        return nudged ? v + by[random() % 7] : v;
    };
    while (d.store.lines.size() < 1400) {
        const double x = lattice(), y = lattice();
        const int corners = 3 + static_cast<int>(random() % 3);
        double px = x, py = y;
        for (int c = 1; c <= corners; ++c) {
            double nx = c == corners ? x : x + static_cast<double>(random() % 7) - 3.0;
            double ny = c == corners ? y : y + static_cast<double>(random() % 7) - 3.0;
            d.store.lines.push_back({{}, 0, nudge(px), nudge(py), nudge(nx), nudge(ny)});
            px = nx;
            py = ny;
        }
        if (random() % 4 == 0) d.store.lines.push_back({{}, 0, x, y, lattice(), lattice()});
    }
    std::shuffle(d.store.lines.begin(), d.store.lines.end(), random);
    return d;
}

TEST(RegionsDifferential, DenseDrawingsWhoseCellsAreSplitGiveIdenticalPolygons) {
    for (bool nudged : {false, true}) {
        for (uint64_t seed = 1; seed <= 2; ++seed) {
            TRandomDrawing d = DenseLoops(seed, nudged);
            ASSERT_EQ(Difference(d), "") << "seed " << seed << (nudged ? ", nudged" : "");
            TAr2RealPoint regions;
            std::vector<TBoundarySegment> segments =
                CollectRegionSources(d.store, d.divisions, d.filter, regions);
            TEndPointIndex index(segments);
            EXPECT_EQ(TBridgeMemo(segments, index).Enabled(), !nudged);
            BuildRegions(d.store, d.divisions, regions, d.filter);
            EXPECT_GT(regions.size(), 5u);
        }
    }
}

TEST(RegionsDifferential, GeneratedDrawingsHoldLoopsAndTakeBothSearchPaths) {
    // The comparison above is only worth something if the drawings hold loops, and if
    // both the tidy end points (vertex lists, retired bridges) and the untidy ones (the
    // plain grid search) come up often.
    size_t polygons = 0, withLoops = 0, tidy = 0, untidy = 0;
    for (uint64_t seed = 1000; seed < 1400; ++seed) {
        TRandomDrawing d = test::GenerateDrawing(seed, {1, 12});
        TAr2RealPoint regions;
        BuildRegions(d.store, d.divisions, regions, d.filter);
        polygons += regions.size();
        withLoops += regions.size() > d.store.circles.size() + d.store.arcs.size() ? 1 : 0;
        std::vector<TBoundarySegment> segments =
            CollectRegionSources(d.store, d.divisions, d.filter, regions);
        if (segments.empty()) continue;
        TEndPointIndex index(segments);
        (TBridgeMemo(segments, index).Enabled() ? tidy : untidy) += 1;
    }
    EXPECT_GT(polygons, 600u);
    EXPECT_GT(withLoops, 120u);
    EXPECT_GT(tidy, 80u);
    EXPECT_GT(untidy, 40u);
}

}  // namespace
}  // namespace veldra
