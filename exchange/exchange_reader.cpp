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
TLineOutcome ParseLine(TJwwEntityStore& store, TEntityStaging& staged, std::string_view line,
                       TExchangeFields& fields) {
    TokenizeExchangeLine(line, fields);
    if (fields.IsBlank()) return TLineOutcome::Blank;
    if (exchange_rules::ApplyStateRule(store, fields)) return TLineOutcome::Taken;
    if (exchange_rules::ApplyEntityRule(staged, fields)) return TLineOutcome::Taken;
    return TLineOutcome::Ignored;
}

// Runs `read` (which returns whether reading went well) with records collected in
// `staged`, then hands them to the store, also when memory ran out on the way: what was
// read before a failure stays.
template <class Read>
bool ReadStaged(TJwwEntityStore& store, Read&& read) {
    TEntityStaging staged(store);
    bool ok = false;
    try {
        ok = read(staged);
    } catch (const std::exception&) {
        ok = false;
    }
    return staged.MoveIntoStore() && ok;
}

}  // namespace

TLineOutcome ParseExchangeLine(TJwwEntityStore& store, std::string_view line) {
    TLineOutcome outcome = TLineOutcome::Ignored;
    ReadStaged(store, [&](TEntityStaging& staged) {
        TExchangeFields fields;
        outcome = ParseLine(store, staged, line, fields);
        return true;
    });
    return outcome;
}

bool ReadExchangeBytes(TJwwEntityStore& store, std::string_view bytes, TExchangeReadStats* stats) {
    return ReadStaged(store, [&](TEntityStaging& staged) {
        TExchangeLineSplitter splitter;
        TExchangeFields fields;
        auto onLine = [&](std::string_view line) {
            Count(stats, ParseLine(store, staged, line, fields));
        };
        splitter.Feed(bytes, onLine);
        splitter.Finish(onLine);
        return true;
    });
}

bool ReadExchangeFile(TJwwEntityStore& store, const std::filesystem::path& path,
                      TExchangeReadStats* stats) {
    std::error_code ec;
    // Only a regular file is read: a folder or a device under that name is not the
    // host's file (and a device might never end).
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    return ReadStaged(store, [&](TEntityStaging& staged) {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        TExchangeLineSplitter splitter;
        TExchangeFields fields;
        auto onLine = [&](std::string_view line) {
            Count(stats, ParseLine(store, staged, line, fields));
        };
        char buffer[16384];
        while (in) {
            in.read(buffer, sizeof buffer);
            std::streamsize got = in.gcount();
            if (got > 0) splitter.Feed(std::string_view(buffer, static_cast<size_t>(got)), onLine);
        }
        if (in.bad()) return false;
        splitter.Finish(onLine);
        return true;
    });
}

}  // namespace veldra
