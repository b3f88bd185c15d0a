#pragma once

// The yardstick of the reader benchmark: the same dispatch written the obvious way,
// with std::getline, std::istringstream and strtod.

#include <filesystem>

#include "exchange/entity_store.h"

namespace veldra::bench {

bool ReadExchangeFileNaively(TJwwEntityStore& store, const std::filesystem::path& path);

}  // namespace veldra::bench
