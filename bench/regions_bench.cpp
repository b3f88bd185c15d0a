// Region build on generated drawings: a grid of unit squares sharing their edges,
// drawn square by square as a user would, with a dangling line after every tenth edge
// (compared with the straightforward loop search); a tiled floor whose inner joints
// are shared by four tiles; and short random segments, packed densely into a small box
// or spread over a large one, whose ends meet nothing.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "bench/bench_drawings.h"
#include "exchange/entity_store.h"
#include "regions/regions.h"
#include "regions/regions_reference.h"

namespace {

using veldra::TAr2RealPoint;
using veldra::TJwwEntityStore;

using veldra::bench::AddLine;

// About `segments` lines: each square adds its edges not drawn yet (bottom and left on
// the grid's border, then right and top), counter-clockwise.
TJwwEntityStore SquareGrid(int64_t segments) {
    TJwwEntityStore store;
    veldra::InitStore(store);
    store.state.groupScale.fill(1.0);
    // A w x w grid has about 2 w^2 edges, plus one dangling line per ten edges.
    const int64_t w =
        std::max<int64_t>(1, std::llround(std::sqrt(static_cast<double>(segments) / 2.2)));
    int64_t edges = 0;
    auto edge = [&](double x1, double y1, double x2, double y2) {
        AddLine(store, x1, y1, x2, y2);
        if (++edges % 10 == 0) AddLine(store, x1, y1, x1 - 0.3, y1 - 0.45);
    };
    for (int64_t y = 0; y < w && static_cast<int64_t>(store.lines.size()) < segments; ++y) {
        for (int64_t x = 0; x < w && static_cast<int64_t>(store.lines.size()) < segments; ++x) {
            double x0 = static_cast<double>(x), y0 = static_cast<double>(y);
            if (y == 0) edge(x0, y0, x0 + 1, y0);
            edge(x0 + 1, y0, x0 + 1, y0 + 1);
            edge(x0 + 1, y0 + 1, x0, y0 + 1);
            if (x == 0) edge(x0, y0 + 1, x0, y0);
        }
    }
    return store;
}

// 158 x 158 square tiles of four lines each, 10 units wide.
TJwwEntityStore TiledFloor() {
    TJwwEntityStore store;
    veldra::InitStore(store);
    for (int i = 0; i < 158; ++i) {
        for (int j = 0; j < 158; ++j) {
            const double x = i * 10.0, y = j * 10.0;
            AddLine(store, x, y, x + 10, y);
            AddLine(store, x + 10, y, x + 10, y + 10);
            AddLine(store, x + 10, y + 10, x, y + 10);
            AddLine(store, x, y + 10, x, y);
        }
    }
    return store;
}

// `count` segments of random direction and a length up to 20, starting anywhere in a
// `box` x `box` square.
TJwwEntityStore RandomSegments(int64_t count, double box) {
    TJwwEntityStore store;
    veldra::InitStore(store);
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> where(0.0, box), length(0.0, 20.0),
        direction(0.0, 6.283185307179586);
    for (int64_t i = 0; i < count; ++i) {
        const double x = where(random), y = where(random), l = length(random);
        const double a = direction(random);
        AddLine(store, x, y, x + l * std::cos(a), y + l * std::sin(a));
    }
    return store;
}

void BuildOnce(benchmark::State& state, const TJwwEntityStore& store) {
    TAr2RealPoint regions;
    for (auto _ : state) {
        veldra::BuildRegions(store, 24, regions);
        benchmark::DoNotOptimize(regions.data());
    }
    state.counters["segments"] = static_cast<double>(store.lines.size());
    state.counters["polygons"] = static_cast<double>(regions.size());
}

void BM_TiledFloor(benchmark::State& state) {
    BuildOnce(state, TiledFloor());
}
BENCHMARK(BM_TiledFloor)->Name("TiledFloor")->Unit(benchmark::kMillisecond);

// 100,000 segments in a 100 x 100 box; 1,000,000 in a 1000 x 1000 box.
void BM_RandomSegments(benchmark::State& state) {
    BuildOnce(state, RandomSegments(state.range(0), static_cast<double>(state.range(1))));
}
BENCHMARK(BM_RandomSegments)
    ->Name("RandomSegments")
    ->Args({100000, 100})
    ->Args({1000000, 1000})
    ->Unit(benchmark::kMillisecond);

template <bool kReference>
void BM_BuildRegions(benchmark::State& state) {
    const TJwwEntityStore store = SquareGrid(state.range(0));
    TAr2RealPoint regions;
    for (auto _ : state) {
        if constexpr (kReference) {
            veldra::BuildRegionsReference(store, 24, regions);
        } else {
            veldra::BuildRegions(store, 24, regions);
        }
        benchmark::DoNotOptimize(regions.data());
    }
    size_t points = 0;
    for (const auto& polygon : regions) points += polygon.size();
    state.counters["segments"] = static_cast<double>(store.lines.size());
    state.counters["polygons"] = static_cast<double>(regions.size());
    state.counters["points"] = static_cast<double>(points);
    state.SetComplexityN(static_cast<int64_t>(store.lines.size()));
}

BENCHMARK(BM_BuildRegions<false>)
    ->Name("Indexed")
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
// The straightforward search grows with about the cube of the size: its largest size
// runs once.
BENCHMARK(BM_BuildRegions<true>)
    ->Name("Reference")
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildRegions<true>)
    ->Name("Reference")
    ->Arg(10000)
    ->Arg(20000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
