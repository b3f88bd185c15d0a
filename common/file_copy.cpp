#include "common/file_copy.h"

namespace veldra {
namespace fs = std::filesystem;

namespace {

constexpr size_t kBlockSize = 2048;

TFileProblem Copy(const fs::path& source, const fs::path& destination, bool keepDate) {
    TInputFile in;
    if (const TFileProblem problem = in.Open(source); problem != TFileProblem::None) return problem;
    // Copying a file onto itself (also through a link) would lose it.
    if (const auto target = FileIdentityOf(destination); target && *target == in.Identity())
        return TFileProblem::SameFile;
    TReplacingFile out(destination);
    if (const TFileProblem problem = out.Create(); problem != TFileProblem::None) return problem;
    char buffer[kBlockSize];
    for (;;) {
        const std::optional<size_t> got = in.Read(buffer, sizeof buffer);
        if (!got) return TFileProblem::ReadFailed;  // out removes its temporary file
        if (*got == 0) break;
        if (const TFileProblem problem = out.Write(buffer, *got); problem != TFileProblem::None)
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

}  // namespace veldra
