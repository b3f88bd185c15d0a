// The fill command making a picture for print: 1,000 regions over an A3 sheet
// (420 x 297 mm), filled and saved at 150, 300 and 600 dpi (at 600: 9921 x 7016 pixels,
// a 209 MB 24-bit file), with the paper-tied texture and with the screen tiling. The
// peak resident memory of the process so far is reported as `peak_MB`; run the
// resolutions in rising order (the default) and the 600 dpi figure is the peak of all.

#include <benchmark/benchmark.h>

#include <QImage>

#include <sys/resource.h>
#include <filesystem>
#include <string>

#include "attributes/gra_attribute.h"
#include "bench/bench_textures.h"
#include "exchange/exchange_reader.h"
#include "fill/fill_pipeline.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

using bench::NoiseTexture;

// 1,000 regions on a 40 x 25 grid filling the sheet: circles and squares of four lines.
std::string ThousandRegionsOnA3() {
    std::string text;
    const double dx = 420.0 / 40, dy = 297.0 / 25;
    for (int i = 0; i < 1000; ++i) {
        const double x = (i % 40 + 0.5) * dx, y = (i / 40 + 0.5) * dy;
        if (i % 2 == 0) {
            text += "ci " + std::to_string(x) + " " + std::to_string(y) + " 4.5\n";
            continue;
        }
        auto p = [&](double ox, double oy) {
            return std::to_string(x + ox) + " " + std::to_string(y + oy);
        };
        text += p(-4.5, -4.5) + " " + p(4.5, -4.5) + "\n" + p(4.5, -4.5) + " " + p(4.5, 4.5) +
                "\n" + p(4.5, 4.5) + " " + p(-4.5, 4.5) + "\n" + p(-4.5, 4.5) + " " +
                p(-4.5, -4.5) + "\n";
    }
    return text;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

void RunPrint(benchmark::State& state, bool paperTiles) {
    const fs::path dir = fs::temp_directory_path() / "veldra-bench-print";
    fs::create_directories(dir);
    NoiseTexture().save(QString::fromStdString((dir / "texture.png").string()));
    TJwwEntityStore store;
    InitStore(store);
    ReadExchangeBytes(store, ThousandRegionsOnA3());
    ResetCurrentAttributes(store);
    TgraAttribute attributes;
    ConfigureAtStartup(attributes);
    // The view shows the sheet exactly, in a paint box of 840 x 594 pixels.
    TViewState view;
    view.viewLeft = 0, view.viewBottom = 0, view.viewRight = 420, view.viewTop = 297;
    view.viewScale = 2.0, view.viewWidth = 840, view.viewHeight = 594;
    FillOptions options;
    options.texturePath = (dir / "texture.png").string();
    options.outputName = (dir / "out.bmp").string();
    options.arcDivisions = 24;
    options.print.dpi = static_cast<int32_t>(state.range(0));
    if (paperTiles) {
        options.print.tileWidthMm = 5.0;
        options.print.tileAngleDeg = 30.0;
    }
    FillSession session{store, attributes, view, dir};
    int64_t pixels = 0;
    for (auto _ : state) {
        FillHandBack handBack;
        const FillResult result = RunFillCommand(options, session, handBack);
        if (!result.Ok()) state.SkipWithError(result.message.c_str());
        pixels = result.pictureWidth * result.pictureHeight;
    }
    state.counters["Mpx"] = static_cast<double>(pixels) / 1e6;
    state.counters["ns_per_px"] =
        benchmark::Counter(static_cast<double>(pixels) * state.iterations() * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["peak_MB"] = PeakMegabytes();
    fs::remove_all(dir);
}

void BM_PrintA3PaperTiles(benchmark::State& state) {
    RunPrint(state, true);
}
BENCHMARK(BM_PrintA3PaperTiles)->Arg(150)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);

void BM_PrintA3ScreenTiles(benchmark::State& state) {
    RunPrint(state, false);
}
BENCHMARK(BM_PrintA3ScreenTiles)->Arg(150)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veldra

BENCHMARK_MAIN();
