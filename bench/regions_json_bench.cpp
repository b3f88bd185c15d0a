// veldra-cli regions --mode faces --json on the 200 x 500-room floor (100,000 faces),
// beside the faces alone: the JSON streamed to /dev/null as the command writes it, and
// the tree the command built before (nlohmann::ordered_json, then one string) for
// comparison. Peak resident memory so far is `peak_MB`: the benchmarks run in this
// order, so each figure includes the ones before it.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "bench/bench_drawings.h"
#include "cli/json_writer.h"
#include "cli/regions_json.h"
#include "regions/faces.h"

namespace veldra {
namespace {

const TJwwEntityStore& FloorOfRooms() {
    static const TJwwEntityStore store = bench::Floor(200, 500, 0.0);
    return store;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Report(benchmark::State& state, const TFaceBuild& build) {
    state.counters["faces"] = static_cast<double>(build.faces.size());
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_FacesAlone(benchmark::State& state) {
    TFaceBuild build;
    for (auto _ : state) {
        build = BuildFaces(FloorOfRooms(), 24, {});
        benchmark::DoNotOptimize(build.faces.data());
    }
    Report(state, build);
}
BENCHMARK(BM_FacesAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FacesWithStreamedJson(benchmark::State& state) {
    std::FILE* sink = std::fopen("/dev/null", "wb");
    TFaceBuild build;
    for (auto _ : state) {
        build = BuildFaces(FloorOfRooms(), 24, {});
        cli::TJsonWriter out(sink);
        cli::WriteFacesJson(build, out);
        out.Raw('\n');
        if (!out.Flush()) state.SkipWithError("write failed");
    }
    std::fclose(sink);
    Report(state, build);
}
BENCHMARK(BM_FacesWithStreamedJson)->Unit(benchmark::kMillisecond)->Iterations(3);

// As the command wrote it before: the whole tree, then one string.
void BM_FacesWithJsonTree(benchmark::State& state) {
    using Json = nlohmann::ordered_json;
    std::FILE* sink = std::fopen("/dev/null", "wb");
    auto points = [](const TAryRealPoint& ring) {
        Json list = Json::array();
        for (const TRealPoint& p : ring) list.push_back({p.X, p.Y});
        return list;
    };
    TFaceBuild build;
    for (auto _ : state) {
        build = BuildFaces(FloorOfRooms(), 24, {});
        Json faces = Json::array();
        for (const TFaceRegion& face : build.faces) {
            Json holes = Json::array();
            for (const TAryRealPoint& hole : face.holes) holes.push_back(points(hole));
            faces.push_back({{"outer", points(face.outer)},
                             {"holes", std::move(holes)},
                             {"depth", face.depth},
                             {"filled", face.filled}});
        }
        Json joins = Json::array();
        for (const TFaceJoin& j : build.joins)
            joins.push_back({{j.from.X, j.from.Y}, {j.to.X, j.to.Y}});
        const Json doc = {{"faces", std::move(faces)},
                          {"openEnds", points(build.openEnds)},
                          {"joins", std::move(joins)}};
        std::string text = doc.dump();
        text += '\n';
        std::fwrite(text.data(), 1, text.size(), sink);
    }
    std::fclose(sink);
    Report(state, build);
}
BENCHMARK(BM_FacesWithJsonTree)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace veldra

BENCHMARK_MAIN();
