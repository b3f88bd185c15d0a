#pragma once

// The exchange file reader: the host's selection, header values and attributes,
// line by line into the entity store. Reading is tolerant and silent: unknown lines
// are skipped, bad numbers read as 0; the counts below only tell a caller what
// happened (the command line shows them).

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "common/file_system.h"
#include "exchange/entity_store.h"

namespace veldra {

enum class TLineOutcome {
    Taken,    // a rule of the format applied
    Blank,    // empty or all-blank line
    Ignored,  // no rule matched (unknown keyword or unexpected field count)
};

struct TExchangeReadStats {
    int64_t lines = 0;    // lines handed to the parser
    int64_t blank = 0;    // of which empty or all-blank
    int64_t ignored = 0;  // of which no rule took
};

// Applies the first matching rule of the format to one line (without its line end).
// The store must have been initialised (InitStore).
TLineOutcome ParseExchangeLine(TJwwEntityStore& store, std::string_view line);

// Reads the file at `path` line by line (LF, CR LF or CR) into the store. False when
// no regular file is there or reading fails; what was read before a failure stays.
// `problem` tells why (Missing, NotRegular: a FIFO or device is refused, never waited on).
bool ReadExchangeFile(TJwwEntityStore& store, const std::filesystem::path& path,
                      TExchangeReadStats* stats = nullptr, TFileProblem* problem = nullptr);

// The same for bytes already in memory (tests, fuzzing). False only when memory runs out.
bool ReadExchangeBytes(TJwwEntityStore& store, std::string_view bytes,
                       TExchangeReadStats* stats = nullptr);

}  // namespace veldra
