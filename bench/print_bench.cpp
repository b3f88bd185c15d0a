// The fill command making a picture for print: 1,000 regions over an A3 sheet
// (420 x 297 mm), filled and saved at 150, 300 and 600 dpi (at 600: 9921 x 7016 pixels,
// a 209 MB 24-bit file), with the paper-tied texture and with the screen tiling. The
// peak resident memory of the process so far is reported as `peak_MB`; run the
// resolutions in rising order (the default) and the 600 dpi figure is the peak of all.
//
// Beside them, in the same run and after them (so their memory does not count in ours):
// the plain program a user would write instead, the whole picture in memory filled
// through a QPainter texture brush and saved by QImage::save (24-bit BMP); the OK of a
// 600 dpi picture (the temporary bitmap put in place), right after the fill and after
// the system has written it out; and the bitmap's bands written against the floor of
// writing a file of that size.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "attributes/gra_attribute.h"
#include "bench/bench_textures.h"
#include "common/file_system.h"
#include "exchange/exchange_reader.h"
#include "fill/bmp_band_writer.h"
#include "fill/fill_pipeline.h"
#include "fill/output_area.h"
#include "fill/texture_fill.h"
#include "regions/region_modes.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

using bench::NoiseTexture;

// 1,000 regions on a 40 x 25 grid filling the sheet: circles and squares of four lines.
std::string ThousandRegionsOnA3() {
    std::string text;
    const double dx = 420.0 / 40, dy = 297.0 / 25;
    for (int i = 0; i < 1000; ++i) {
        const int column = i % 40, row = i / 40;
        const double x = (column + 0.5) * dx, y = (row + 0.5) * dy;
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
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// The sheet, its view and the options of one print fill.
struct TPrintCase {
    fs::path dir = fs::temp_directory_path() / "veldra-bench-print";
    TJwwEntityStore store;
    TgraAttribute attributes;
    TViewState view;
    TFillOptions options;

    TPrintCase(int32_t dpi, bool paperTiles) {
        fs::create_directories(dir);
        NoiseTexture().save(QString::fromStdString((dir / "texture.png").string()));
        InitStore(store);
        ReadExchangeBytes(store, ThousandRegionsOnA3());
        ResetCurrentAttributes(store);
        ConfigureAtStartup(attributes);
        // The view shows the sheet exactly, in a paint box of 840 x 594 pixels.
        view.viewLeft = 0, view.viewBottom = 0, view.viewRight = 420, view.viewTop = 297;
        view.viewScale = 2.0, view.viewWidth = 840, view.viewHeight = 594;
        options.texturePath = (dir / "texture.png").string();
        options.outputName = (dir / "out.bmp").string();
        options.arcDivisions = 24;
        options.print.dpi = dpi;
        if (paperTiles) {
            options.print.tileWidthMm = 5.0;
            options.print.tileAngleDeg = 30.0;
        }
    }
    ~TPrintCase() { fs::remove_all(dir); }
    TFillSession Session() { return {store, attributes, view, dir}; }
};

void ReportPixels(benchmark::State& state, int64_t pixels) {
    state.counters["Mpx"] = static_cast<double>(pixels) / 1e6;
    state.counters["ns_per_px"] = benchmark::Counter(
        static_cast<double>(pixels) * static_cast<double>(state.iterations()) * 1e-9,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["peak_MB"] = PeakMegabytes();
}

void RunPrint(benchmark::State& state, bool paperTiles) {
    TPrintCase c(static_cast<int32_t>(state.range(0)), paperTiles);
    TFillSession session = c.Session();
    int64_t pixels = 0;
    for (auto _ : state) {
        TFillHandBack handBack;
        const TFillResult result = RunFillCommand(c.options, session, handBack);
        if (!result.Ok()) state.SkipWithError(result.message.c_str());
        pixels = result.pictureWidth * result.pictureHeight;
    }
    ReportPixels(state, pixels);
}

// The same pixels' worth by the plain program: the same regions (built once, outside
// the timing), the whole picture, a texture brush with the same tiling, QImage::save.
void RunPlainQPainter(benchmark::State& state, bool paperTiles) {
    TPrintCase c(static_cast<int32_t>(state.range(0)), paperTiles);
    const TOutputFrame frame = ViewOutputFrame(c.view, c.options.print.dpi);
    TRegionFilter filter;
    const TAr2RealPoint polygons =
        BuildFillRegions(c.store, 24, c.options.regions, filter).polygons;
    const QImage texture(QString::fromStdString(c.options.texturePath));
    const QTransform brush = paperTiles
                                 ? PaperTilingTransform(texture, c.options.print.tileWidthMm,
                                                        c.options.print.tileAngleDeg, frame.view)
                                 : ScreenTilingTransform(2.0, c.view, frame.view);
    const QString out = QString::fromStdString((c.dir / "plain.bmp").string());
    for (auto _ : state) {
        QImage picture(static_cast<int>(frame.width), static_cast<int>(frame.height),
                       QImage::Format_RGB32);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            QBrush tiles(texture);
            tiles.setTransform(brush);
            painter.setPen(Qt::NoPen);
            painter.setBrush(tiles);
            painter.drawPath(BuildRegionPath(polygons, frame.view));
        }
        if (!picture.save(out, "BMP")) state.SkipWithError("not saved");
    }
    ReportPixels(state, frame.width * frame.height);
}

void BM_PrintA3PaperTiles(benchmark::State& state) {
    RunPrint(state, true);
}
BENCHMARK(BM_PrintA3PaperTiles)
    ->Arg(150)
    ->Arg(300)
    ->Arg(600)
    ->Arg(1200)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_PrintA3ScreenTiles(benchmark::State& state) {
    RunPrint(state, false);
}
BENCHMARK(BM_PrintA3ScreenTiles)
    ->Arg(150)
    ->Arg(300)
    ->Arg(600)
    ->Arg(1200)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// OK after a 600 dpi fill: range(0) 0 right after the fill, 1 once the system has
// written the temporary bitmap out, 2 a second after the fill (a user's glance at the
// preview before OK).
void BM_ConfirmAt600(benchmark::State& state) {
    TPrintCase c(600, false);
    TFillSession session = c.Session();
    int64_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TFillHandBack handBack;
        if (!RunFillCommand(c.options, session, handBack).Ok()) state.SkipWithError("no fill");
        bytes = static_cast<int64_t>(fs::file_size(TempImagePath(c.dir)));
        if (state.range(0) == 1) ::sync();
        if (state.range(0) == 2) ::sleep(1);
        state.ResumeTiming();
        const TConfirmResult ok = ConfirmFill(handBack, c.dir, c.store);
        if (!ok.queued) state.SkipWithError("OK failed");
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ConfirmAt600)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

// The 600 dpi bitmap's rows written as the fill writes them (packed from 32-bit bands)
// against writing the same bytes as they are: the floor.
void RunBandWrite(benchmark::State& state, bool packRows) {
    TPrintCase c(600, false);
    const TOutputFrame frame = ViewOutputFrame(c.view, 600);
    const int32_t rows = BandRowsFor(frame.width, frame.height);
    QImage band(static_cast<int>(frame.width), rows, QImage::Format_RGB32);
    band.fill(qRgb(12, 34, 56));
    const int64_t stride = (frame.width * 24 + 31) / 32 * 4;
    const std::vector<char> plain(static_cast<size_t>(stride * rows), 'x');
    const fs::path out = c.dir / "bands.bmp";
    for (auto _ : state) {
        if (packRows) {
            TBmpBandWriter writer;
            bool ok = writer.Open(out, frame.width, frame.height, 24, {}, 23622);
            for (int64_t y = 0; ok && y < frame.height; y += rows) {
                const int64_t n = std::min<int64_t>(rows, frame.height - y);
                ok = writer.WriteBand(
                    n == rows ? band : band.copy(0, 0, band.width(), static_cast<int>(n)), y);
            }
            if (!ok || !writer.Commit()) state.SkipWithError("not written");
        } else {
            TReplacingFile file(out);
            file.SkipSyncAtCommit();
            bool ok = file.Create() == TFileProblem::None;
            for (int64_t y = 0; ok && y < frame.height; y += rows) {
                const int64_t n = std::min<int64_t>(rows, frame.height - y);
                ok = file.WriteAt(static_cast<uint64_t>(54 + (frame.height - y - n) * stride),
                                  plain.data(),
                                  static_cast<size_t>(n * stride)) == TFileProblem::None;
            }
            if (!ok || file.Commit() != TFileProblem::None) state.SkipWithError("not written");
        }
    }
    state.counters["MB"] = static_cast<double>(stride * frame.height) / 1e6;
}
void BM_BmpBandsAt600(benchmark::State& state) {
    RunBandWrite(state, true);
}
void BM_WriteFloorAt600(benchmark::State& state) {
    RunBandWrite(state, false);
}
BENCHMARK(BM_BmpBandsAt600)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WriteFloorAt600)->Unit(benchmark::kMillisecond)->Iterations(5);

// The plain programs last: their whole pictures raise the process's peak memory.
void BM_PlainQPainterPaperTiles(benchmark::State& state) {
    RunPlainQPainter(state, true);
}
void BM_PlainQPainterScreenTiles(benchmark::State& state) {
    RunPlainQPainter(state, false);
}
BENCHMARK(BM_PlainQPainterPaperTiles)
    ->Arg(600)
    ->Arg(1200)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_PlainQPainterScreenTiles)
    ->Arg(600)
    ->Arg(1200)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace veldra

BENCHMARK_MAIN();
