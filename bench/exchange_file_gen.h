#pragma once

// A generated exchange file shaped like the host's: the header block, then entities of
// every kind under changing attributes, with CR LF line ends.

#include <cstdint>
#include <string>

namespace veldra::bench {

std::string GenerateExchangeFile(int64_t entities);

}  // namespace veldra::bench
