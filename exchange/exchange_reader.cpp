#include "exchange/exchange_reader.h"

#include <exception>
#include <optional>

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
                      TExchangeReadStats* stats, TFileProblem* problem) {
    TFileProblem found = TFileProblem::None;
    bool read = false;
    // Only a regular file is read: a folder, FIFO or device under that name is not the
    // host's file (and might never end, or never open).
    TInputFile in;
    found = in.Open(path);
    if (found == TFileProblem::None) {
        try {
            TExchangeLineSplitter splitter;
            TExchangeFields fields;
            auto onLine = [&](std::string_view line) {
                Count(stats, ParseLine(store, line, fields));
            };
            char buffer[16384];
            for (;;) {
                const std::optional<size_t> got = in.Read(buffer, sizeof buffer);
                if (!got) {
                    found = TFileProblem::ReadFailed;
                    break;
                }
                if (*got == 0) break;
                splitter.Feed(std::string_view(buffer, *got), onLine);
            }
            if (found == TFileProblem::None) {
                splitter.Finish(onLine);
                read = true;
            }
        } catch (const std::exception&) {
            found = TFileProblem::ReadFailed;
        }
    }
    if (problem != nullptr) *problem = found;
    return read;
}

}  // namespace veldra
