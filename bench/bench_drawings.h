#pragma once

// Pieces the benchmarks build their drawings from.

#include <algorithm>
#include <cstdint>

#include "exchange/entity_store.h"

namespace veldra::bench {

inline void AddLine(TJwwEntityStore& store, double x1, double y1, double x2, double y2) {
    TJwwEntLine& line = AppendEntity(store, store.lines, EntityKind::Line);
    line.x1 = x1;
    line.y1 = y1;
    line.x2 = x2;
    line.y2 = y2;
}

inline TJwwEntityStore NewStore() {
    TJwwEntityStore store;
    InitStore(store);
    store.state.groupScale.fill(1.0);
    return store;
}

// rows x columns rooms of 100 x 100 units, every wall its own line, longer by `over` at
// both ends; with `shortEvery`, every so many walls stop 0.005 short at their start.
inline TJwwEntityStore Floor(int rows, int columns, double over, int shortEvery = 0) {
    TJwwEntityStore store = NewStore();
    int64_t wall = 0;
    auto gap = [&] { return shortEvery > 0 && ++wall % shortEvery == 0 ? 0.005 : 0.0; };
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            AddLine(store, c * 100.0 - over + gap(), r * 100.0, c * 100.0 + 100 + over, r * 100.0);
        }
    }
    for (int c = 0; c <= columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            AddLine(store, c * 100.0, r * 100.0 - over + gap(), c * 100.0, r * 100.0 + 100 + over);
        }
    }
    return store;
}

// n lines at 45 degrees and n at 135 in a 100 x 100 square: n * n / 2 crossings or so.
inline TJwwEntityStore Hatch(int n) {
    TJwwEntityStore store = NewStore();
    AddLine(store, 0, 0, 100, 0);
    AddLine(store, 100, 0, 100, 100);
    AddLine(store, 100, 100, 0, 100);
    AddLine(store, 0, 100, 0, 0);
    for (int i = 1; i <= n; ++i) {
        const double c = 200.0 * i / (n + 1);
        const double x1 = std::max(0.0, c - 100), x2 = std::min(100.0, c);
        AddLine(store, x1, c - x1, x2, c - x2);
        AddLine(store, x1, x1 - (c - 100), x2, x2 - (c - 100));
    }
    return store;
}

}  // namespace veldra::bench
