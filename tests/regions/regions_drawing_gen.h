#pragma once

// Seeded random drawings for comparing the two loop searches: grids of squares that
// share edges, polygons on a small lattice, dangling lines, duplicate and reversed
// lines, arcs with chords, whole ellipses and circles; end points nudged to just inside
// or just outside the 1e-8 tolerance; layer-group scales, "bz", "z3", hidden layers and
// auxiliary attributes; now and then huge, tiny or non-finite coordinates.

#include <cstdint>
#include <string>

#include "exchange/entity_store.h"
#include "regions/regions.h"

namespace veldra::test {

struct TDrawingSize {
    int minShapes = 1;
    int maxShapes = 12;
};

struct TRandomDrawing {
    TJwwEntityStore store;
    TRegionFilter filter;
    int32_t divisions = 24;

    // Lines, then circles, then arcs.
    size_t EntityCount() const;
    void RemoveEntity(size_t i);
    // Exchange-file lines (numbers to 17 digits) plus the filter and divisions.
    std::string Describe() const;
};

TRandomDrawing GenerateDrawing(uint64_t seed, const TDrawingSize& size);

}  // namespace veldra::test
