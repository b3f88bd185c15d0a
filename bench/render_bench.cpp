// Full redraw of the view, as the window does it after every change of view:
// clear, frame, origin mark and every entity, on a 1920 x 1080 canvas fitted to
// the drawing.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QString>

#include <filesystem>
#include <random>
#include <system_error>

#include "attributes/gra_attribute.h"
#include "common/tolerances.h"
#include "display/canvas/canvas.h"
#include "display/canvas/draw_context.h"
#include "display/render/view_redraw.h"
#include "exchange/entity_store.h"
#include "fill/view_picture_file.h"
#include "view/view_navigation.h"

namespace veldra {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr double kDrawingSize = 1000.0;  // millimetres

// Line types drawn: plain, the dash families and the zigzags.
constexpr int kLineTypes[] = {1, 2, 5, 9, 11, 13, 16, 32, 33, 34, 37, 45};

template <class Record>
Record& Add(TJwwEntityStore& store, std::vector<Record>& list, EntityKind kind, std::mt19937& r) {
    Record& e = AppendEntity(store, list, kind);
    e.head.color = static_cast<int32_t>(r() % 9) + 1;
    e.head.lineType = kLineTypes[r() % std::size(kLineTypes)];
    return e;
}

// Lines 50 %, circles 20 %, arcs and ellipses 15 %, solids 15 % (`only` >= 0 keeps
// one band of kinds: 0..9 lines, 10..13 circles, 14..16 arcs, 17..19 solids).
void FillKinds(TJwwEntityStore& store, int count, int onlyFrom, int onlyTo) {
    std::mt19937 r(42);
    std::uniform_real_distribution<double> at(0.0, kDrawingSize), len(-40.0, 40.0),
        radius(1.0, 30.0), angle(0.0, 360.0);
    for (int i = 0; i < count; ++i) {
        const int kind = onlyFrom + static_cast<int>(r() % (onlyTo - onlyFrom + 1));
        if (kind < 10) {
            auto& e = Add(store, store.lines, EntityKind::Line, r);
            e.x1 = at(r), e.y1 = at(r), e.x2 = e.x1 + len(r), e.y2 = e.y1 + len(r);
        } else if (kind < 14) {
            auto& e = Add(store, store.circles, EntityKind::Circle, r);
            e.cx = at(r), e.cy = at(r), e.radius = radius(r);
        } else if (kind < 17) {
            auto& e = Add(store, store.arcs, EntityKind::Arc, r);
            e.cx = at(r), e.cy = at(r), e.radius = radius(r);
            e.startAngle = angle(r), e.endAngle = angle(r);
            e.flatness = kind == 16 ? 0.5 : 1.0;
            e.tiltAngle = kind == 16 ? angle(r) : 0.0;
        } else if (kind < 19) {
            auto& e = Add(store, store.solid3s, EntityKind::Solid3, r);
            e.x1 = at(r), e.y1 = at(r), e.x2 = e.x1 + len(r), e.y2 = e.y1 + len(r);
            e.x3 = e.x1 + len(r), e.y3 = e.y1 + len(r);
        } else {
            auto& e = Add(store, store.solidScs, EntityKind::SolidSc, r);
            e.cx = at(r), e.cy = at(r), e.radius = radius(r), e.flatness = 1.0;
            e.startRad = 0.0, e.sweepRad = kTwoPi, e.solidCode = 100;
        }
    }
}

void FillMixed(TJwwEntityStore& store, int count) {
    FillKinds(store, count, 0, 19);
}
void FillPatternedLines(TJwwEntityStore& store, int count) {
    FillKinds(store, count, 0, 9);
}
void FillCurves(TJwwEntityStore& store, int count) {
    FillKinds(store, count, 10, 16);
}
void FillSolids(TJwwEntityStore& store, int count) {
    FillKinds(store, count, 17, 19);
}

void FillPlainLines(TJwwEntityStore& store, int count) {
    std::mt19937 r(7);
    std::uniform_real_distribution<double> at(0.0, kDrawingSize), len(-20.0, 20.0);
    for (int i = 0; i < count; ++i) {
        auto& e = AppendEntity(store, store.lines, EntityKind::Line);
        e.head.color = 2;
        e.head.lineType = 1;
        e.x1 = at(r), e.y1 = at(r), e.x2 = e.x1 + len(r), e.y2 = e.y1 + len(r);
    }
}

// What follows the redraw: nothing, the command's PNG (palette, fast level) written
// through the file layer, or the toolkit's default PNG (how the command wrote it before).
enum class TOutput { None, ViewPng, DefaultPng };

void RunRedraw(benchmark::State& state, void (*fill)(TJwwEntityStore&, int), double zoom = 1.0,
               TOutput output = TOutput::None) {
    TJwwEntityStore store;
    InitStore(store);
    fill(store, static_cast<int>(state.range(0)));
    TgraAttribute attributes;
    ConfigureAtStartup(attributes);
    TViewState view;
    FitView(view, store, kWidth, kHeight);
    if (zoom != 1.0) ZoomAt(view, kWidth / 2.0, kHeight / 2.0, zoom);
    TDrawContext context(view, attributes);
    TCanvas canvas(kWidth, kHeight);
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / "veldra-bench-view.png";
    int64_t bytes = 0;
    for (auto _ : state) {
        const bool stopped = RedrawViewOnto(context, canvas, store, AbortPoll{});
        benchmark::DoNotOptimize(stopped);
        if (output == TOutput::ViewPng) {
            if (!SaveViewPicture(out, canvas.Image(), TViewPictureFormat::Png))
                state.SkipWithError("PNG not written");
        } else if (output == TOutput::DefaultPng) {
            if (!canvas.Image().save(QString::fromStdString(out.string()), "PNG"))
                state.SkipWithError("PNG not written");
        }
    }
    if (output != TOutput::None) {
        std::error_code ec;
        bytes = static_cast<int64_t>(std::filesystem::file_size(out, ec));
        std::filesystem::remove(out, ec);
        state.counters["file_kB"] = static_cast<double>(bytes) / 1024.0;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_RedrawMixed(benchmark::State& state) {
    RunRedraw(state, FillMixed);
}
void BM_RedrawPlainLines(benchmark::State& state) {
    RunRedraw(state, FillPlainLines);
}

// The render command's work: the redraw and its PNG, beside the old default PNG.
void BM_RedrawMixedWithPng(benchmark::State& state) {
    RunRedraw(state, FillMixed, 1.0, TOutput::ViewPng);
}
void BM_RedrawMixedWithDefaultPng(benchmark::State& state) {
    RunRedraw(state, FillMixed, 1.0, TOutput::DefaultPng);
}

// Zoomed in 20 times on the centre: most of the drawing lies beyond the window.
void BM_RedrawMixedZoomed(benchmark::State& state) {
    RunRedraw(state, FillMixed, 20.0);
}

// The parts of the mix on their own, to see where the time goes.
void BM_RedrawPatternedLines(benchmark::State& state) {
    RunRedraw(state, FillPatternedLines);
}
void BM_RedrawCurves(benchmark::State& state) {
    RunRedraw(state, FillCurves);
}
void BM_RedrawSolids(benchmark::State& state) {
    RunRedraw(state, FillSolids);
}

BENCHMARK(BM_RedrawMixed)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawMixedWithPng)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawMixedWithDefaultPng)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawPlainLines)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawMixedZoomed)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawPatternedLines)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawCurves)->Arg(35000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawSolids)->Arg(15000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veldra

BENCHMARK_MAIN();
