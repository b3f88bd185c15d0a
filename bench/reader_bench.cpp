// The exchange file reader on a generated file of 1,000,000 entities, against the same
// dispatch written with std::getline, std::istringstream and strtod, and the peak heap
// of the store while it is read against the bytes its records hold.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

#include "bench/exchange_file_gen.h"
#include "bench/naive_exchange_reader.h"
#include "exchange/exchange_reader.h"

// The counting operator new and delete below take their memory from malloc and free;
// GCC takes that pair for a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

// Heap in use and its peak, counted by the replaced global operator new and delete.
size_t gHeapInUse = 0;
size_t gHeapPeak = 0;

}  // namespace

void* operator new(size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    gHeapInUse += malloc_usable_size(p);
    if (gHeapInUse > gHeapPeak) gHeapPeak = gHeapInUse;
    return p;
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    gHeapInUse -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

namespace veldra {
namespace {
namespace fs = std::filesystem;

constexpr int64_t kEntities = 1000000;

const fs::path& ExchangeFile() {
    static const fs::path path = [] {
        fs::path file = fs::temp_directory_path() / "veldra-bench-reader.txt";
        std::ofstream(file, std::ios::binary) << bench::GenerateExchangeFile(kEntities);
        return file;
    }();
    return path;
}

// The bytes the records of the store hold: every list at its size, and the texts kept
// outside the records.
size_t RecordBytes(const TJwwEntityStore& s) {
    auto list = [](const auto& v) { return v.size() * sizeof(v[0]); };
    size_t bytes = list(s.lines) + list(s.circles) + list(s.arcs) + list(s.texts) + list(s.points) +
                   list(s.pointExs) + list(s.dims) + list(s.blocks) + list(s.solid2s) +
                   list(s.solid3s) + list(s.solid4s) + list(s.solidScs) + list(s.solidSes) +
                   list(s.solidSos) + list(s.solidSgs) + list(s.creationOrder);
    auto text = [](const std::string& t) { return t.capacity() > 15 ? t.capacity() + 1 : 0; };
    for (const TJwwEntText& t : s.texts) bytes += text(t.text) + text(t.fontName);
    for (const TJwwEntDim& d : s.dims) bytes += text(d.text.text) + text(d.text.fontName);
    for (const TJwwEntBlk& b : s.blocks) bytes += text(b.name);
    return bytes;
}

template <bool kNaive>
void BM_Read(benchmark::State& state) {
    const fs::path& file = ExchangeFile();
    size_t entities = 0, peakRatioPercent = 0;
    for (auto _ : state) {
        TJwwEntityStore store;
        InitStore(store);
        const size_t before = gHeapInUse;
        gHeapPeak = before;
        const bool ok =
            kNaive ? bench::ReadExchangeFileNaively(store, file) : ReadExchangeFile(store, file);
        if (!ok) state.SkipWithError("reading failed");
        state.PauseTiming();
        entities = store.EntityCount();
        peakRatioPercent = (gHeapPeak - before) * 100 / RecordBytes(store);
        ReleaseStore(store);
        state.ResumeTiming();
    }
    const auto bytes = static_cast<int64_t>(fs::file_size(file));
    state.SetBytesProcessed(bytes * static_cast<int64_t>(state.iterations()));
    state.counters["entities"] = static_cast<double>(entities);
    state.counters["fileMB"] = static_cast<double>(bytes) / 1e6;
    // The heap the read took at its peak, per cent of the bytes its records hold.
    state.counters["peakPct"] = static_cast<double>(peakRatioPercent);
}

BENCHMARK(BM_Read<false>)->Name("ReadExchangeFile")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read<true>)->Name("NaiveIstringstreamStrtod")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veldra

BENCHMARK_MAIN();
