#include "exchange/exchange_reader.h"

#include <exception>
#include <optional>

#include "exchange/exchange_encoding.h"
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

namespace {

// Hands every line of the file to onLine; false when reading fails on the way.
template <class OnLine>
bool ForEachFileLine(TInputFile& in, OnLine&& onLine) {
    TExchangeLineSplitter splitter;
    char buffer[16384];
    for (;;) {
        const std::optional<size_t> got = in.Read(buffer, sizeof buffer);
        if (!got) return false;
        if (*got == 0) break;
        splitter.Feed(std::string_view(buffer, *got), onLine);
    }
    splitter.Finish(onLine);
    return true;
}

template <class OnLine>
void ForEachLine(std::string_view bytes, OnLine&& onLine) {
    TExchangeLineSplitter splitter;
    splitter.Feed(bytes, onLine);
    splitter.Finish(onLine);
}

// Parses the lines that `feed` hands over, converted from the store's encoding.
template <class Feed>
bool ParseLines(TJwwEntityStore& store, TExchangeReadStats* stats, Feed&& feed) {
    return ReadStaged(store, [&](TEntityStaging& staged) {
        TExchangeFields fields;
        bool first = true;
        return feed([&](std::string_view line) {
            if (store.encoding == TExchangeEncoding::ShiftJis) {
                Count(stats, ParseLine(store, staged, line, fields));
            } else {
                const std::string text =
                    ExchangeLineText(line, store.encoding, first, store.textReplaced);
                Count(stats, ParseLine(store, staged, text, fields));
            }
            first = false;
        });
    });
}

// The encoding of the lines `feed` hands over; false when reading (or memory) failed.
template <class Feed>
bool DetectEncoding(TJwwEntityStore& store, Feed&& feed) {
    TExchangeEncodingDetector detector;
    bool ok = false;
    try {
        ok = feed([&](std::string_view line) { detector.Feed(line); });
    } catch (const std::exception&) {
        ok = false;
    }
    store.encoding = detector.Result();
    return ok;
}

}  // namespace

bool ReadExchangeBytes(TJwwEntityStore& store, std::string_view bytes, TExchangeReadStats* stats) {
    const auto feed = [&](auto&& onLine) {
        ForEachLine(bytes, onLine);
        return true;
    };
    return DetectEncoding(store, feed) && ParseLines(store, stats, feed);
}

bool ReadExchangeFile(TJwwEntityStore& store, const std::filesystem::path& path,
                      TExchangeReadStats* stats, TFileProblem* problem) {
    // Only a regular file is read: a folder, FIFO or device under that name is not the
    // host's file (and might never end, or never open). It is read twice, a chunk at a
    // time, so memory stays bounded: once for its encoding, once for its records.
    TInputFile in;
    TFileProblem found = in.Open(path);
    bool read = false;
    if (found == TFileProblem::None) {
        const auto feed = [&](auto&& onLine) { return ForEachFileLine(in, onLine); };
        read = DetectEncoding(store, feed);
        in.Close();
        read = read && in.Open(path) == TFileProblem::None && ParseLines(store, stats, feed);
        if (!read) found = TFileProblem::ReadFailed;
    }
    if (problem != nullptr) *problem = found;
    return read;
}

}  // namespace veldra
