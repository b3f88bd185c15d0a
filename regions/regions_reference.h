#pragma once

// The loop search written the straightforward way: after every extension the whole
// segment list is scanned again from its start. Slow (quadratic or worse) and kept
// only as the yardstick the indexed search is checked and measured against; the
// program itself never links it.

#include <cstdint>

#include "exchange/entity_store.h"
#include "regions/regions.h"

namespace veldra {

void BuildRegionsReference(const TJwwEntityStore& store, int32_t arcDivisions,
                           TAr2RealPoint& regionPolygons, const TRegionFilter& filter = {});

}  // namespace veldra
