#pragma once

// Closed regions of the selection: circles, whole ellipses and loops of lines and
// open arcs that meet end to end, as closed polygons in paper units (coordinates
// divided by the layer group's scale). The texture fill paints them all together
// with the even-odd rule, so no orientation or nesting is imposed here.

#include <array>
#include <cstdint>
#include <vector>

#include "common/real_point.h"
#include "exchange/entity_store.h"

namespace veldra {

// The arc divisions callers may ask for; BuildRegions limits N to this range itself.
inline constexpr int32_t kMinArcDivisions = 3;
inline constexpr int32_t kMaxArcDivisions = 3600;
inline constexpr int32_t kDefaultArcDivisions = 24;

// Every layer in state 1 (normal).
constexpr std::array<int32_t, 256> DefaultLayerStates() {
    std::array<int32_t, 256> states{};
    for (int32_t& s : states) s = 1;
    return states;
}

// Which entities take part, from the graphic attributes: an entity on a layer of state 3
// (not drawn) never does, nor one of colour 9 or line type 9 while auxiliary entities
// are hidden. The defaults are the window's start-up configuration (every layer in
// state 1, auxiliary entities shown).
struct TRegionFilter {
    std::array<int32_t, 256> layerState = DefaultLayerStates();
    bool showAuxiliary = true;

    // State of a layer key (group * 16 + layer); 1 for a key outside 0..255.
    int32_t LayerState(int64_t layerKey) const {
        return layerKey < 0 || layerKey > 255 ? 1 : layerState[static_cast<size_t>(layerKey)];
    }
};

// True when |a.X - b.X| <= 1e-8 and |a.Y - b.Y| <= 1e-8.
bool SamePoint(const TRealPoint& a, const TRealPoint& b);

// Frees every polygon.
void ClearRegions(TAr2RealPoint& regionPolygons);

// Replaces `regionPolygons` with the closed regions of the store's circles, lines and
// arcs: circles (list order), then whole ellipses (arc list order), then loops in the
// order of their first segment. `arcDivisions` is the number of pieces of a whole turn
// or an arc, limited to 3..3600.
void BuildRegions(const TJwwEntityStore& store, int32_t arcDivisions, TAr2RealPoint& regionPolygons,
                  const TRegionFilter& filter = {});

}  // namespace veldra
