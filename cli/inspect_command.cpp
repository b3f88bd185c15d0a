// veldra-cli inspect [--json] FILE: what an exchange file holds, as the reader sees
// it right after reading (before the current attributes are reset).

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/store_json.h"
#include "common/code_page_932.h"
#include "common/my_func.h"
#include "exchange/exchange_reader.h"
#include "exchange/exchange_writer.h"
#include "exchange/host_contract.h"
#include "view/extents.h"
#include "view/view_state.h"

namespace veldra::cli {
namespace {

constexpr const char* kInspectUsage = "usage: veldra-cli inspect [--json] FILE\n";

// The drawing extents in view units, as fitting the view computes them.
TViewState ExtentsOf(const TJwwEntityStore& store) {
    TViewState view;
    ComputeExtents(store, view);
    return view;
}

void PrintSummary(const TJwwEntityStore& store, const std::string& file,
                  const TExchangeReadStats& stats) {
    const TJwwDrawingState& s = store.state;
    std::printf("file: %s\n", file.c_str());
    std::printf("lines: %lld read, %lld ignored, %lld blank\n", static_cast<long long>(stats.lines),
                static_cast<long long>(stats.ignored), static_cast<long long>(stats.blank));
    if (!s.filePath.empty()) std::printf("drawing: %s\n", Utf8FromCodePage932(s.filePath).c_str());
    // Only a file that came in UTF-8 says so: Shift-JIS is the host's default.
    if (store.encoding == TExchangeEncoding::Utf8) std::puts("encoding: UTF-8");
    if (store.encoding == TExchangeEncoding::Utf8WithBom)
        std::puts("encoding: UTF-8 (byte order mark)");
    std::printf("bz: %s\n", s.bzFlag ? "yes (coordinates in paper units)" : "no");
    std::string scales;
    for (double scale : s.groupScale) {
        scales += ' ';
        scales += FormatGeneral(scale);
    }
    std::printf("layer-group scales:%s\n", scales.c_str());
    std::printf("entities: %zu\n", store.EntityCount());
    for (int k = 1; k <= kEntityKindCount; ++k) {
        auto kind = static_cast<EntityKind>(k);
        size_t count = store.CountOf(kind);
        if (count > 0) std::printf("  %2d %-14s %zu\n", k, EntityKindName(kind), count);
    }
    std::printf("reference points: %d\n", s.refPointCount);
    TViewState view = ExtentsOf(store);
    std::printf("extents: %s %s - %s %s\n", FormatGeneral(view.extentLeft).c_str(),
                FormatGeneral(view.extentBottom).c_str(), FormatGeneral(view.extentRight).c_str(),
                FormatGeneral(view.extentTop).c_str());
}

}  // namespace

int RunInspect(const Args& args) {
    bool json = false;
    std::string file;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            json = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kInspectUsage, stdout);
            return 0;
        } else if (arg.starts_with("-") && arg != "-") {
            std::fprintf(stderr, "veldra-cli inspect: unknown option '%s'\n%s", arg.c_str(),
                         kInspectUsage);
            return 2;
        } else if (file.empty()) {
            file = arg;
        } else {
            std::fprintf(stderr, "veldra-cli inspect: one FILE only\n%s", kInspectUsage);
            return 2;
        }
    }
    if (file.empty()) {
        std::fputs(kInspectUsage, stderr);
        return 2;
    }
    if (!CheckInputFile("inspect", file)) return 2;
    const std::filesystem::path path = PathFromUtf8(file);
    TJwwEntityStore store;
    InitStore(store);
    TExchangeReadStats stats;
    if (!ReadExchangeFile(store, path, &stats)) {
        std::fprintf(stderr, "veldra-cli inspect: %s: cannot be read\n", file.c_str());
        return 2;
    }
    if (store.textReplaced) std::fprintf(stderr, "%s\n", kExchangeTextReplacedMessage);
    if (json) {
        // Streamed: a large drawing never exists twice over as a tree and a text.
        const TViewState view = ExtentsOf(store);
        nlohmann::ordered_json extra = nlohmann::ordered_json::object();
        extra["extents"] = {view.extentLeft, view.extentBottom, view.extentRight, view.extentTop};
        TJsonWriter out(stdout);
        WriteStoreJson(store, extra, out);
        out.Raw('\n');
        if (!out.Flush()) {
            std::fputs("veldra-cli inspect: the output cannot be written\n", stderr);
            return 1;
        }
    } else {
        PrintSummary(store, file, stats);
    }
    return 0;
}

}  // namespace veldra::cli
