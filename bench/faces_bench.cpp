// Faces mode on generated drawings, each beside the loop search on the same drawing:
// a floor of rooms with one line per wall, the same floor with every wall overshooting
// both its ends, random crossing segments, a 5,000-segment plan, the gap tolerance
// on a floor whose every tenth wall stops short of its neighbour, the floor drawn with
// one line per grid line, and the overshooting floor turned by 30 degrees (its walls
// are no longer along the axes, so they reach the library unmerged). Each face build
// runs twice: the program's way (the integer noding where the coordinates share a
// power-of-two grid) and through the geometry library alone, the yardstick. The quick
// end check runs beside the sorted check it replaced.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "bench/bench_drawings.h"
#include "exchange/entity_store.h"
#include "regions/faces.h"
#include "regions/faces_linework.h"
#include "regions/regions.h"

namespace {

using veldra::TJwwEntityStore;

using veldra::bench::AddLine;
using veldra::bench::Floor;
using veldra::bench::Hatch;
using veldra::bench::NewStore;

TJwwEntityStore Grid(int rows, int columns, double over) {
    TJwwEntityStore store = NewStore();
    for (int r = 0; r <= rows; ++r)
        AddLine(store, -over, r * 100.0, columns * 100.0 + over, r * 100.0);
    for (int c = 0; c <= columns; ++c)
        AddLine(store, c * 100.0, -over, c * 100.0, rows * 100.0 + over);
    return store;
}

TJwwEntityStore Turned(TJwwEntityStore store, double degrees) {
    const double c = std::cos(degrees * 3.14159265358979323846 / 180.0);
    const double s = std::sin(degrees * 3.14159265358979323846 / 180.0);
    for (veldra::TJwwEntLine& line : store.lines) {
        const double x1 = line.x1, y1 = line.y1, x2 = line.x2, y2 = line.y2;
        line.x1 = x1 * c - y1 * s;
        line.y1 = x1 * s + y1 * c;
        line.x2 = x2 * c - y2 * s;
        line.y2 = x2 * s + y2 * c;
    }
    return store;
}

TJwwEntityStore RandomSegments(int count) {
    TJwwEntityStore store = NewStore();
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> at(0.0, 1000.0);
    for (int i = 0; i < count; ++i) {
        const double x = at(rng), y = at(rng);
        std::uniform_real_distribution<double> step(-40.0, 40.0);
        AddLine(store, x, y, x + step(rng), y + step(rng));
    }
    return store;
}

const TJwwEntityStore& Drawing(int which) {
    static const TJwwEntityStore drawings[] = {
        Floor(200, 500, 0.0),      // 200,700 walls, 100,000 rooms
        Floor(200, 500, 5.0),      // the same, every wall overshooting
        RandomSegments(20000),     // random crossings
        Floor(50, 50, 0.0),        // a 5,100-segment plan
        Floor(200, 500, 0.0, 10),  // every tenth wall short by 0.005
        Grid(200, 500, 5.0),       // the same floor drawn with one line per grid line
        Turned(Floor(200, 500, 5.0), 30.0)};
    return drawings[which];
}

void Report(benchmark::State& state, const TJwwEntityStore& store) {
    state.counters["segments"] = static_cast<double>(store.lines.size());
}

// 1: every drawing through the geometry library, the yardstick; 0: the program's way
// (the integer noding where the coordinates allow).
veldra::TFaceNoding NodingOf(int64_t library) {
    return library != 0 ? veldra::TFaceNoding::LibraryOnly : veldra::TFaceNoding::Grid;
}

// range(0): drawing; range(1): gap tolerance in thousandths of a mm; range(2): library.
void BM_Faces(benchmark::State& state) {
    const TJwwEntityStore& store = Drawing(static_cast<int>(state.range(0)));
    veldra::TFaceOptions options;
    options.gapTolerance = static_cast<double>(state.range(1)) / 1000.0;
    veldra::TFaceBuild build;
    for (auto _ : state) {
        build = veldra::BuildFacesUsing(NodingOf(state.range(2)), store, 24, options);
        benchmark::DoNotOptimize(build.faces.data());
    }
    Report(state, store);
    state.counters["faces"] = static_cast<double>(build.faces.size());
    state.counters["openEnds"] = static_cast<double>(build.openEnds.size());
    state.counters["joins"] = static_cast<double>(build.joins.size());
}

void BM_Chain(benchmark::State& state) {
    const TJwwEntityStore& store = Drawing(static_cast<int>(state.range(0)));
    veldra::TAr2RealPoint regions;
    for (auto _ : state) {
        veldra::BuildRegions(store, 24, regions);
        benchmark::DoNotOptimize(regions.data());
    }
    Report(state, store);
    state.counters["polygons"] = static_cast<double>(regions.size());
}

// The end snapping before the noding on its own: range(0) the drawing, range(1) 1 for
// the pass with its quick check, 0 for the whole pass (the yardstick).
void BM_SnapEnds(benchmark::State& state) {
    const TJwwEntityStore& store = Drawing(static_cast<int>(state.range(0)));
    size_t skipped = 0;
    const std::vector<veldra::TFacePolyline> lines =
        veldra::CollectFaceLinework(store, 24, {}, skipped);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<veldra::TFacePolyline> copy = lines;
        state.ResumeTiming();
        if (state.range(1) != 0) {
            veldra::SnapCloseEnds(copy);
        } else {
            veldra::SnapCloseEndsAlways(copy);
        }
        benchmark::DoNotOptimize(copy.data());
        state.PauseTiming();
        copy = {};  // freed outside the timing
        state.ResumeTiming();
    }
    Report(state, store);
}

// The quick check as it was, the yardstick: the ends sorted by X then Y, a near pair
// being two neighbours in one column or two columns within the tolerance.
bool SortedEndsNeedSnapping(const std::vector<veldra::TFacePolyline>& lines) {
    std::vector<veldra::TRealPoint> ends;
    ends.reserve(2 * lines.size());
    for (const veldra::TFacePolyline& line : lines) {
        if (line.closed) continue;
        ends.push_back(line.points.front());
        ends.push_back(line.points.back());
    }
    std::sort(ends.begin(), ends.end(),
              [](const veldra::TRealPoint& p, const veldra::TRealPoint& q) {
                  return p.X != q.X ? p.X < q.X : p.Y < q.Y;
              });
    for (size_t i = 1; i < ends.size(); ++i) {
        const veldra::TRealPoint& p = ends[i - 1];
        const veldra::TRealPoint& q = ends[i];
        if (p.X == q.X ? (p.Y != q.Y && q.Y - p.Y <= 1e-8) : q.X - p.X <= 1e-8) return true;
    }
    return false;
}

// The quick check alone, on linework that it leaves untouched: range(0) the drawing,
// range(1) 1 for the check as it was (the yardstick).
void BM_EndsNeedSnapping(benchmark::State& state) {
    const TJwwEntityStore& store = Drawing(static_cast<int>(state.range(0)));
    size_t skipped = 0;
    const std::vector<veldra::TFacePolyline> lines =
        veldra::CollectFaceLinework(store, 24, {}, skipped);
    bool needed = false;
    for (auto _ : state) {
        needed =
            state.range(1) != 0 ? SortedEndsNeedSnapping(lines) : veldra::EndsNeedSnapping(lines);
        benchmark::DoNotOptimize(needed);
    }
    Report(state, store);
    state.counters["needed"] = needed ? 1 : 0;
}

// range(0): n; range(1): library. Under the crossing budget the whole build; over it
// the refusal.
void BM_Hatch(benchmark::State& state) {
    const TJwwEntityStore store = Hatch(static_cast<int>(state.range(0)));
    veldra::TFaceBuild build;
    for (auto _ : state) {
        build = veldra::BuildFacesUsing(NodingOf(state.range(1)), store, 24, {});
        benchmark::DoNotOptimize(build.faces.data());
    }
    state.counters["faces"] = static_cast<double>(build.faces.size());
    state.counters["crossings"] = static_cast<double>(build.crossings);
    state.counters["refused"] = build.tooManyCrossings ? 1 : 0;
}

// The drawings with their gap tolerances; with `library`, each also through the
// library alone.
const int64_t kDrawingArgs[][2] = {
    {0, 0}, {1, 0},  {2, 0}, {3, 0}, {0, 10},  // a tolerance where every end meets a wall already
    {4, 0}, {4, 10},                           // and where every tenth wall needs it
    {5, 0}, {6, 0}};

void Drawings(benchmark::internal::Benchmark* b) {
    b->ArgNames({"drawing", "gapMicro"});
    for (const auto& args : kDrawingArgs) b->Args({args[0], args[1]});
}

void DrawingsBothWays(benchmark::internal::Benchmark* b) {
    b->ArgNames({"drawing", "gapMicro", "library"});
    for (const auto& args : kDrawingArgs) {
        for (int64_t library : {0, 1}) b->Args({args[0], args[1], library});
    }
}

BENCHMARK(BM_Faces)
    ->Apply(DrawingsBothWays)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(BM_Chain)->Apply(Drawings)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_SnapEnds)
    ->ArgNames({"drawing", "quick"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(BM_EndsNeedSnapping)
    ->ArgNames({"drawing", "sorted"})
    ->ArgsProduct({{0, 1, 4}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(BM_Hatch)
    ->ArgNames({"n", "library"})
    ->ArgsProduct({{1000, 3000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
