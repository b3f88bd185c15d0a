// The faces preview of 100,000 lines in the window ("領域表示"): the longest time the
// interface thread goes without turning its event loop from the click until the
// regions are shown, against the same region build headless in the same run (the
// build the window once ran on its interface thread, so the time it was blocked).
//   QT_QPA_PLATFORM=offscreen build-release/bin/veldra_window_preview_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <ostream>

#include "app/form1.h"
#include "bench/bench_window.h"
#include "fill/fill_pipeline.h"
#include "regions/region_modes.h"

namespace veldra {
namespace {

// A floor of 224 x 224 rooms, every wall its own line overshooting both its ends by
// 5 mm, turned by 30 degrees (walls off the axes reach the geometry library unmerged):
// 100,800 lines.
constexpr int kRooms = 224;

void WriteWall(std::ostream& out, double x1, double y1, double x2, double y2) {
    const double c = std::cos(std::numbers::pi / 6), s = std::sin(std::numbers::pi / 6);
    out << x1 * c - y1 * s << ' ' << x1 * s + y1 * c << ' ' << x2 * c - y2 * s << ' '
        << x2 * s + y2 * c << "\r\n";
}

struct TWindowFixture : bench::TBenchWindow {
    TWindowFixture()
        : TBenchWindow(
              [](std::ostream& out) {
                  out.precision(12);
                  for (int r = 0; r <= kRooms; ++r)
                      for (int c = 0; c < kRooms; ++c)
                          WriteWall(out, c * 100.0 - 5, r * 100.0, c * 100.0 + 105, r * 100.0);
                  for (int c = 0; c <= kRooms; ++c)
                      for (int r = 0; r < kRooms; ++r)
                          WriteWall(out, c * 100.0, r * 100.0 - 5, c * 100.0, r * 100.0 + 105);
              },
              1000, 800) {
        form->findChild<QComboBox*>(QStringLiteral("RegionMode"))->setCurrentIndex(1);
        QApplication::processEvents();
    }
};

TWindowFixture& Window() {
    static TWindowFixture fixture;
    return fixture;
}

// The build the preview runs, on this thread.
void BM_HeadlessFaceBuild(benchmark::State& state) {
    TForm1& form = *Window().form;
    TgraAttribute attributes;
    ConfigureAtStartup(attributes);
    TFillRegionOptions options;
    options.mode = TRegionMode::Faces;
    size_t faces = 0;
    for (auto _ : state) {
        const TFillRegionReport report =
            BuildFillRegions(form.Store(), 24, options, RegionFilterOf(attributes));
        faces = report.faces.size();
    }
    state.counters["lines"] = static_cast<double>(form.Store().lines.size());
    state.counters["faces"] = static_cast<double>(faces);
}

// The click on "領域表示" until the regions are shown; a 1 ms timer measures the
// longest gap between two turns of the event loop.
void BM_WindowFacePreview(benchmark::State& state) {
    TForm1& form = *Window().form;
    auto* preview = form.findChild<QPushButton*>(QStringLiteral("RegionPreview"));
    double longestMs = 0, clickMs = 0;
    for (auto _ : state) {
        QElapsedTimer sinceTick;
        double longest = 0;
        QTimer ticks;
        ticks.setInterval(1);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            longest = std::max(longest, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
            sinceTick.restart();
        });
        QElapsedTimer click;
        click.start();
        preview->click();
        clickMs = static_cast<double>(click.nsecsElapsed()) / 1e6;
        longest = clickMs;
        sinceTick.start();
        ticks.start();
        while (form.IsWorking() || form.WorkThreads() > 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QApplication::processEvents();
        ticks.stop();
        longestMs = longest;
    }
    state.counters["longest_block_ms"] = longestMs;
    state.counters["click_ms"] = clickMs;
}

BENCHMARK(BM_HeadlessFaceBuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_WindowFacePreview)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
}  // namespace veldra

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    veldra::Window().form.reset();
    benchmark::Shutdown();
    return 0;
}
