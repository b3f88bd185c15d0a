// The indexed loop search against the straightforward one on seeded random drawings:
// both must give the same polygons in the same order, to the bit. A difference is
// narrowed to a smallest drawing, printed as exchange-file lines.

#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "fill/regions.h"
#include "fill/regions_reference.h"
#include "tests/fill/regions_drawing_gen.h"

namespace veldra {
namespace {

using test::TRandomDrawing;

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
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

TEST(RegionsDifferential, GeneratorMakesDrawingsWithRegionsAndDeadEnds) {
    // The comparison above is only worth something if the drawings hold loops.
    size_t polygons = 0, drawingsWithLoops = 0;
    for (uint64_t seed = 1000; seed < 1200; ++seed) {
        TRandomDrawing d = test::GenerateDrawing(seed, {1, 12});
        TAr2RealPoint regions;
        BuildRegions(d.store, d.divisions, regions, d.filter);
        polygons += regions.size();
        drawingsWithLoops += regions.size() > d.store.circles.size() ? 1 : 0;
    }
    EXPECT_GT(polygons, 300u);
    EXPECT_GT(drawingsWithLoops, 60u);
}

}  // namespace
}  // namespace veldra
