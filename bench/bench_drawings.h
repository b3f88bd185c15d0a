#pragma once

// Pieces the benchmarks build their drawings from.

#include "exchange/entity_store.h"

namespace veldra::bench {

inline void AddLine(TJwwEntityStore& store, double x1, double y1, double x2, double y2) {
    TJwwEntLine& line = AppendEntity(store, store.lines, EntityKind::Line);
    line.x1 = x1;
    line.y1 = y1;
    line.x2 = x2;
    line.y2 = y2;
}

}  // namespace veldra::bench
