// The fill command end to end (regions, drawing, texture fill, bitmap save) on a
// 1920 x 1080 canvas, and the bitmap save alone at each colour depth.

#include <benchmark/benchmark.h>

#include <QImage>

#include <filesystem>
#include <string>

#include "attributes/gra_attribute.h"
#include "bench/bench_textures.h"
#include "exchange/exchange_reader.h"
#include "fill/fill_pipeline.h"
#include "fill/fill_reference.h"
#include "view/view_navigation.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

using bench::NoiseTexture;

struct Fixture {
    fs::path dir;
    TJwwEntityStore store;
    TgraAttribute attributes;
    TViewState view;
    TFillOptions options;

    explicit Fixture(const std::string& exchange, const char* name) {
        dir = fs::temp_directory_path() / name;
        fs::create_directories(dir);
        NoiseTexture().save(QString::fromStdString((dir / "texture.png").string()));
        InitStore(store);
        ReadExchangeBytes(store, exchange);
        ResetCurrentAttributes(store);
        ConfigureAtStartup(attributes);
        FitView(view, store, kWidth, kHeight);
        options.texturePath = (dir / "texture.png").string();
        options.outputName = (dir / "out.bmp").string();
        options.arcDivisions = 24;
    }
    ~Fixture() { fs::remove_all(dir); }
};

// 1,000 regions: 500 circles and 500 squares of four lines, in a 40 x 25 grid.
std::string ThousandRegions() {
    std::string text;
    for (int i = 0; i < 1000; ++i) {
        const int column = i % 40, row = i / 40;
        double x = column * 30.0, y = row * 30.0;
        if (i % 2 == 0) {
            text += "ci " + std::to_string(x) + " " + std::to_string(y) + " 12\n";
        } else {
            auto p = [&](double dx, double dy) {
                return std::to_string(x + dx) + " " + std::to_string(y + dy);
            };
            text += p(-12, -12) + " " + p(12, -12) + "\n" + p(12, -12) + " " + p(12, 12) + "\n" +
                    p(12, 12) + " " + p(-12, 12) + "\n" + p(-12, 12) + " " + p(-12, -12) + "\n";
        }
    }
    return text;
}

// A tiled floor: 158 x 158 square tiles of four lines each (99,856 segments); every
// inner joint is shared by four tiles.
std::string TiledFloor() {
    std::string text;
    for (int i = 0; i < 158; ++i) {
        for (int j = 0; j < 158; ++j) {
            auto p = [&](int dx, int dy) {
                return std::to_string((i + dx) * 10) + " " + std::to_string((j + dy) * 10);
            };
            text += p(0, 0) + " " + p(1, 0) + "\n" + p(1, 0) + " " + p(1, 1) + "\n" + p(1, 1) +
                    " " + p(0, 1) + "\n" + p(0, 1) + " " + p(0, 0) + "\n";
        }
    }
    return text;
}

void RunCommand(benchmark::State& state, const std::string& exchange, const char* name) {
    Fixture f(exchange, name);
    TFillSession session{f.store, f.attributes, f.view, f.dir};
    for (auto _ : state) {
        TFillHandBack handBack;
        TFillResult result = RunFillCommand(f.options, session, handBack);
        if (!result.Ok()) state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(result.picture);
    }
}

void BM_FillCommand1000Regions(benchmark::State& state) {
    RunCommand(state, ThousandRegions(), "veldra-bench-fill-1000");
}
BENCHMARK(BM_FillCommand1000Regions)->Unit(benchmark::kMillisecond);

void BM_FillCommandTiledFloor(benchmark::State& state) {
    RunCommand(state, TiledFloor(), "veldra-bench-fill-floor");
}
BENCHMARK(BM_FillCommandTiledFloor)->Unit(benchmark::kMillisecond);

// The canvas of a fill: background, and the noisy texture over two thirds of it.
void BM_SaveBmp(benchmark::State& state) {
    QImage canvas(kWidth, kHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    const QImage texture = NoiseTexture();
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth * 2 / 3; ++x)
            canvas.setPixel(x, y, texture.pixel(x % 64, y % 64));
    }
    const fs::path file = fs::temp_directory_path() / "veldra-bench-save.bmp";
    const int bits = static_cast<int>(state.range(0));
    for (auto _ : state) {
        if (!SaveBmpFile(file, canvas, bits)) state.SkipWithError("save failed");
    }
    fs::remove(file);
}
BENCHMARK(BM_SaveBmp)->Arg(1)->Arg(4)->Arg(8)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veldra

BENCHMARK_MAIN();
