#pragma once

// Byte-for-byte file copy that gives the copy the source's modification time. The
// copy is written under a temporary name beside the destination and renamed over it
// when complete, so a failed copy keeps an older file of that name as it was. The
// result tells why a copy failed; None means the destination holds the whole copy.

#include <filesystem>

#include "common/file_system.h"

namespace veldra {

// Refuses (and leaves alone) a source or destination that is no regular file, such as
// a FIFO, a device or a folder, and a destination that is the source itself.
TFileProblem CopyFileBlocks(const std::filesystem::path& source,
                            const std::filesystem::path& destination);
TFileProblem CopyFileWithDate(const std::filesystem::path& source,
                              const std::filesystem::path& destination);

// Puts a working file in place of the destination: renamed there when both are on one
// volume (the source name is gone then), otherwise copied with its date as
// CopyFileWithDate does (the source stays). The same refusals as the copy; a failure
// keeps an older destination as it was.
TFileProblem MoveOrCopyFileWithDate(const std::filesystem::path& source,
                                    const std::filesystem::path& destination);

}  // namespace veldra
