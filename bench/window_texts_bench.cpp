// The drawing's texts in the window: a key redraw (End) of 10,000 texts (the most the
// view draws) and of 100,000 (left out), room names and every tenth a long line of 60
// characters, 10 mm high over a 1000 x 700 mm sheet (6 pixels in a window fitted to it offscreen),
// with "文字表示" on, against the same redraw with it off, in one run.
//   QT_QPA_PLATFORM=offscreen build-release/bin/veldra_window_texts_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <map>
#include <memory>
#include <ostream>
#include <random>
#include <string>

#include "app/form1.h"
#include "bench/bench_window.h"

namespace veldra {
namespace {

struct TWindowFixture : bench::TBenchWindow {
    explicit TWindowFixture(int texts)
        : TBenchWindow(
              [texts](std::ostream& out) {
                  // The sheet's frame, so the view fits it.
                  out << "0 0 1000 0\r\n1000 0 1000 700\r\n1000 700 0 700\r\n0 700 0 0\r\n";
                  out << "cn0 6 10 0 2\r\n";
                  const std::string room = "\x95\x94\x89\xae";  // "部屋" in Shift-JIS
                  std::string line;
                  for (int i = 0; i < 30; ++i) line += room;
                  std::mt19937 r(7);
                  std::uniform_real_distribution<double> x(0.0, 1000.0), y(0.0, 700.0);
                  for (int i = 0; i < texts; ++i) {
                      out << "ch " << x(r) << ' ' << y(r) << " 1 0 \""
                          << (i % 10 == 0 ? line : room) << "\r\n";
                  }
              },
              1400, 1000) {
        form->PaintBox()->repaint();
    }
};

std::map<int, std::unique_ptr<TWindowFixture>>& Windows() {
    static std::map<int, std::unique_ptr<TWindowFixture>> windows;
    return windows;
}

TWindowFixture& Window(int texts) {
    std::unique_ptr<TWindowFixture>& window = Windows()[texts];
    if (!window) window = std::make_unique<TWindowFixture>(texts);
    return *window;
}

void RunKeyRedraw(benchmark::State& state, bool texts) {
    TForm1& form = *Window(static_cast<int>(state.range(0))).form;
    form.findChild<QCheckBox*>(QStringLiteral("CheckTexts"))->setChecked(texts);
    QApplication::processEvents();
    for (auto _ : state) {
        form.FormKeyDown(Qt::Key_End, Qt::NoModifier);
        form.PaintBox()->repaint();
        QApplication::processEvents();
    }
    state.counters["texts"] = static_cast<double>(form.Store().texts.size());
}

void BM_KeyRedrawTextsOff(benchmark::State& state) {
    RunKeyRedraw(state, false);
}
void BM_KeyRedrawTextsOn(benchmark::State& state) {
    RunKeyRedraw(state, true);
}
BENCHMARK(BM_KeyRedrawTextsOff)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_KeyRedrawTextsOn)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace veldra

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    veldra::Windows().clear();
    benchmark::Shutdown();
    return 0;
}
