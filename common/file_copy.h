#pragma once

// Byte-for-byte file copy that gives the copy the source's modification time.
// Failures are swallowed: callers check whether the destination exists.

#include <filesystem>

namespace veldra {

void CopyFileBlocks(const std::filesystem::path& source, const std::filesystem::path& destination);
void CopyFileWithDate(const std::filesystem::path& source,
                      const std::filesystem::path& destination);

}  // namespace veldra
