#include "exchange/exchange_reader.h"

#include <exception>
#include <fstream>
#include <system_error>

#include "exchange/exchange_rules.h"
#include "exchange/exchange_tokenizer.h"

namespace veldra {
namespace {

void Count(TExchangeReadStats* stats, TLineOutcome outcome) {
    if (stats == nullptr) return;
    ++stats->lines;
    if (outcome == TLineOutcome::Blank) ++stats->blank;
    if (outcome == TLineOutcome::Ignored) ++stats->ignored;
}

// One line through the dispatch, its fields split into storage the caller reuses.
TLineOutcome ParseLine(TJwwEntityStore& store, std::string_view line, TExchangeFields& fields) {
    TokenizeExchangeLine(line, fields);
    if (fields.IsBlank()) return TLineOutcome::Blank;
    if (exchange_rules::ApplyStateRule(store, fields)) return TLineOutcome::Taken;
    if (exchange_rules::ApplyEntityRule(store, fields)) return TLineOutcome::Taken;
    return TLineOutcome::Ignored;
}

}  // namespace

TLineOutcome ParseExchangeLine(TJwwEntityStore& store, std::string_view line) {
    TExchangeFields fields;
    return ParseLine(store, line, fields);
}

bool ReadExchangeBytes(TJwwEntityStore& store, std::string_view bytes, TExchangeReadStats* stats) {
    try {
        TExchangeLineSplitter splitter;
        TExchangeFields fields;
        auto onLine = [&](std::string_view line) { Count(stats, ParseLine(store, line, fields)); };
        splitter.Feed(bytes, onLine);
        splitter.Finish(onLine);
        return true;
    } catch (const std::exception&) {
        // Memory ran out while a list grew: what was read so far stays.
        return false;
    }
}

bool ReadExchangeFile(TJwwEntityStore& store, const std::filesystem::path& path,
                      TExchangeReadStats* stats) {
    std::error_code ec;
    // Only a regular file is read: a folder or a device under that name is not the
    // host's file (and a device might never end).
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        TExchangeLineSplitter splitter;
        TExchangeFields fields;
        auto onLine = [&](std::string_view line) { Count(stats, ParseLine(store, line, fields)); };
        char buffer[16384];
        while (in) {
            in.read(buffer, sizeof buffer);
            std::streamsize got = in.gcount();
            if (got > 0) splitter.Feed(std::string_view(buffer, static_cast<size_t>(got)), onLine);
        }
        if (in.bad()) return false;
        splitter.Finish(onLine);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace veldra
