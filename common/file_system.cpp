// The parts of the file layer that are the same on every platform, built on the
// platform's TInputFile and TReplacingFile.

#include "common/file_system.h"

#include <algorithm>
#include <utility>

namespace veldra {

namespace {

constexpr size_t kReadBlock = size_t{64} * 1024;

TReadResult ReadUpTo(const std::filesystem::path& path, uint64_t maxBytes, bool refuseLarger) {
    TReadResult result;
    TInputFile in;
    result.problem = in.Open(path);
    if (result.problem != TFileProblem::None) return result;
    if (refuseLarger && in.Size() > maxBytes) {
        result.problem = TFileProblem::TooLarge;
        return result;
    }
    result.bytes.reserve(static_cast<size_t>(std::min<uint64_t>(in.Size(), maxBytes)));
    // Reads one byte past the limit to tell a file that grew since it was opened.
    const uint64_t wanted = refuseLarger ? maxBytes + 1 : maxBytes;
    char buffer[kReadBlock];
    while (result.bytes.size() < wanted) {
        const size_t ask =
            static_cast<size_t>(std::min<uint64_t>(sizeof buffer, wanted - result.bytes.size()));
        const std::optional<size_t> got = in.Read(buffer, ask);
        if (!got) {
            result.problem = TFileProblem::ReadFailed;
            result.bytes.clear();
            return result;
        }
        if (*got == 0) break;
        result.bytes.append(buffer, *got);
    }
    if (refuseLarger && result.bytes.size() > maxBytes) {
        result.problem = TFileProblem::TooLarge;
        result.bytes.clear();
    }
    return result;
}

}  // namespace

const char* FileProblemText(TFileProblem problem) {
    switch (problem) {
        case TFileProblem::None:
            return "no problem";
        case TFileProblem::Missing:
            return "no such file";
        case TFileProblem::NotRegular:
            return "not a regular file";
        case TFileProblem::TooLarge:
            return "file too large";
        case TFileProblem::SameFile:
            return "source and destination are the same file";
        case TFileProblem::ReadFailed:
            return "cannot be read";
        case TFileProblem::WriteFailed:
            return "cannot be written";
    }
    return "unknown problem";
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    const std::optional<TFileIdentity> first = FileIdentityOf(a);
    if (!first) return false;
    const std::optional<TFileIdentity> second = FileIdentityOf(b);
    return second && *first == *second;
}

TReadResult ReadWholeFile(const std::filesystem::path& path, uint64_t maxBytes) {
    return ReadUpTo(path, maxBytes, true);
}

TReadResult ReadFileHead(const std::filesystem::path& path, uint64_t maxBytes) {
    return ReadUpTo(path, maxBytes, false);
}

TReplacingFile::TReplacingFile(std::filesystem::path target) : target_(std::move(target)) {}

TReplacingFile::~TReplacingFile() {
    Abandon();
}

TFileProblem ReplaceFileContent(const std::filesystem::path& target, std::string_view bytes) {
    TReplacingFile file(target);
    TFileProblem problem = file.Create();
    if (problem == TFileProblem::None) problem = file.Write(bytes.data(), bytes.size());
    if (problem == TFileProblem::None) problem = file.Commit();
    return problem;
}

}  // namespace veldra
