#include "common/file_copy.h"

#include <cstdio>
#include <memory>
#include <system_error>

namespace veldra {
namespace fs = std::filesystem;

namespace {

constexpr size_t kBlockSize = 2048;

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Copies in fixed blocks; false when creating, reading or writing failed.
bool CopyContent(std::FILE* in, const fs::path& destination) {
    FileHandle out(std::fopen(destination.c_str(), "wb"));
    if (!out) return false;
    char buffer[kBlockSize];
    for (;;) {
        size_t got = std::fread(buffer, 1, kBlockSize, in);
        if (got == 0) break;
        if (std::fwrite(buffer, 1, got, out.get()) != got) return false;
    }
    if (std::ferror(in)) return false;
    return std::fclose(out.release()) == 0;
}

}  // namespace

void CopyFileBlocks(const fs::path& source, const fs::path& destination) {
    std::error_code ec;
    // Copying a file onto itself would truncate it before reading: leave it alone.
    if (fs::exists(destination, ec) && fs::equivalent(source, destination, ec)) return;
    FileHandle in(std::fopen(source.c_str(), "rb"));
    if (in && fs::is_regular_file(source, ec)) {
        if (!CopyContent(in.get(), destination)) fs::remove(destination, ec);
    }
    // No archive attribute here: make the destination an ordinary writable file.
    if (fs::exists(destination, ec)) {
        fs::permissions(destination, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::add, ec);
    }
}

void CopyFileWithDate(const fs::path& source, const fs::path& destination) {
    CopyFileBlocks(source, destination);
    std::error_code ec;
    auto time = fs::last_write_time(source, ec);
    if (ec || !fs::exists(destination, ec)) return;
    fs::last_write_time(destination, time, ec);
}

}  // namespace veldra
