// A key redraw in the window (End: the same view redrawn, then painted on the
// screen) against the headless redraw of the same drawing at the same view and size, in one run.
// The third case polls the platform's Escape key state at every tenth entity without a time limit,
// as the window once did.
//   xvfb-run -s "-screen 0 1920x1080x24" build-release/bin/veldra_window_redraw_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>
#include <random>

#include "app/escape_key_reader.h"
#include "app/form1.h"
#include "bench/bench_window.h"
#include "display/canvas/canvas.h"
#include "display/canvas/draw_context.h"
#include "display/render/view_redraw.h"

namespace veldra {
namespace {

constexpr int kLines = 1000000;

// Plain lines up to 20 mm long in a 1000 mm square, and a window of 1400 x 1000.
struct TWindowFixture : bench::TBenchWindow {
    TWindowFixture()
        : TBenchWindow(
              [](std::ostream& out) {
                  std::mt19937 r(7);
                  std::uniform_real_distribution<double> at(0.0, 1000.0), len(-20.0, 20.0);
                  for (int i = 0; i < kLines; ++i) {
                      const double x = at(r), y = at(r);
                      out << x << ' ' << y << ' ' << x + len(r) << ' ' << y + len(r) << "\r\n";
                  }
              },
              1400, 1000) {
        form->PaintBox()->repaint();
    }
};

TWindowFixture& Window() {
    static TWindowFixture fixture;
    return fixture;
}

void BM_WindowKeyRedraw(benchmark::State& state) {
    TForm1& form = *Window().form;
    for (auto _ : state) {
        form.FormKeyDown(Qt::Key_End, Qt::NoModifier);
        form.PaintBox()->repaint();  // onto the screen
        QApplication::processEvents();
    }
    state.counters["width"] = form.PaintBox()->width();
    state.counters["height"] = form.PaintBox()->height();
}

// The same drawing, view and canvas size without the window; `platformPoll` asks
// the platform's Escape state at every tenth entity.
void RunHeadless(benchmark::State& state, bool platformPoll) {
    TForm1& form = *Window().form;
    TgraAttribute attributes;
    ConfigureAtStartup(attributes);
    TViewState view = form.View();
    TDrawContext context(view, attributes);
    TCanvas canvas(form.PaintBox()->width(), form.PaintBox()->height());
    std::unique_ptr<TEscapeKeyReader> reader = MakePlatformEscapeKeyReader();
    if (platformPoll && !reader) {
        state.SkipWithError("no platform key state (run on X11)");
        return;
    }
    const AbortPoll poll = platformPoll ? AbortPoll([&] { return reader->IsDown(); }) : AbortPoll{};
    for (auto _ : state)
        benchmark::DoNotOptimize(RedrawViewOnto(context, canvas, form.Store(), poll));
}

void BM_HeadlessRedraw(benchmark::State& state) {
    RunHeadless(state, false);
}
void BM_HeadlessRedrawPollingEveryTenth(benchmark::State& state) {
    RunHeadless(state, true);
}

BENCHMARK(BM_HeadlessRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowKeyRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HeadlessRedrawPollingEveryTenth)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace veldra

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    veldra::Window().form.reset();  // hands the exchange file back inside the folder
    benchmark::Shutdown();
    return 0;
}
