#include "common/file_copy.h"

#include <vector>

namespace veldra {
namespace fs = std::filesystem;

namespace {

// Large blocks: a print picture runs to hundreds of megabytes.
constexpr size_t kBlockSize = size_t{1024} * 1024;

TFileProblem Copy(const fs::path& source, const fs::path& destination, bool keepDate) {
    TInputFile in;
    if (const TFileProblem problem = in.Open(source); problem != TFileProblem::None) return problem;
    // Copying a file onto itself (also through a link) would lose it.
    if (const auto target = FileIdentityOf(destination); target && *target == in.Identity())
        return TFileProblem::SameFile;
    TReplacingFile out(destination);
    if (const TFileProblem problem = out.Create(); problem != TFileProblem::None) return problem;
    std::vector<char> buffer(kBlockSize);
    for (;;) {
        const std::optional<size_t> got = in.Read(buffer.data(), buffer.size());
        if (!got) return TFileProblem::ReadFailed;  // out removes its temporary file
        if (*got == 0) break;
        if (const TFileProblem problem = out.Write(buffer.data(), *got);
            problem != TFileProblem::None)
            return problem;
    }
    // No archive attribute here: the copy is an ordinary file, writable by its owner.
    if (keepDate) out.SetModifiedTime(in.ModifiedTime());
    return out.Commit();
}

}  // namespace

TFileProblem CopyFileBlocks(const fs::path& source, const fs::path& destination) {
    return Copy(source, destination, false);
}

TFileProblem CopyFileWithDate(const fs::path& source, const fs::path& destination) {
    return Copy(source, destination, true);
}

TFileProblem MoveOrCopyFileWithDate(const fs::path& source, const fs::path& destination) {
    bool otherVolume = false;
    const TFileProblem moved = MoveFileOver(source, destination, otherVolume);
    if (!otherVolume) return moved;
    return Copy(source, destination, true);
}

}  // namespace veldra
