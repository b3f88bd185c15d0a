#pragma once

// Every file operation of the program goes through this small layer, so that no
// open can wait for ever and no write can land where it must not:
//
// - reading opens without blocking and refuses anything but a regular file (a FIFO,
//   a device, a folder or a socket is never read), with a size cap;
// - writing goes to a new temporary name beside the target, created exclusively and
//   never through a link found there, checked at every step, and renamed into place
//   only when complete, so a failure keeps the previous content;
// - nothing is removed that is not a regular file or a link, and a temporary file is
//   removed only while it is still the one this program created.
//
// Paths are std::filesystem::path in the system's native form: bytes of the locale
// (UTF-8) on POSIX, UTF-16 on Windows. A name from the exchange or settings file
// (code page 932 bytes) is converted at the edge before it gets here: the toolkit side
// decodes it from code page 932 into text and makes a native path of that text. This
// layer never sees code page 932 bytes.
//
// One implementation per platform: file_system_posix.cpp, file_system_windows.cpp.
// No failure is thrown; every call reports a TFileProblem.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace veldra {

enum class TFileProblem {
    None,
    Missing,     // nothing under that name (or a folder on the way is missing)
    NotRegular,  // a folder, FIFO, device, socket or a link to nothing: never opened
    TooLarge,    // larger than the caller's limit
    SameFile,    // source and destination are one file
    ReadFailed,  // opening or reading failed (permissions, I/O error)
    WriteFailed  // creating, writing, flushing, closing or renaming failed (disk full)
};

// A short English description for the command line ("not a regular file").
const char* FileProblemText(TFileProblem problem);

enum class TFileKind {
    Missing,  // nothing there, or a link to nothing
    Regular,
    Folder,
    Other  // FIFO, device, socket
};

// What is at the path, links followed. Never opens the path.
TFileKind FileKindOf(const std::filesystem::path& path);
inline bool IsFolder(const std::filesystem::path& path) {
    return FileKindOf(path) == TFileKind::Folder;
}
// Something is at the name, a link to nothing included.
bool NameExists(const std::filesystem::path& path);

// The identity of a file whatever name reaches it (links followed, hard links
// alike): device and file number (POSIX), volume serial and file index (Windows).
struct TFileIdentity {
    uint64_t device = 0;
    uint64_t file = 0;
    bool operator==(const TFileIdentity&) const = default;
};
std::optional<TFileIdentity> FileIdentityOf(const std::filesystem::path& path);
// True when both names exist and reach the same file.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Modification time as seconds and nanoseconds since 1970-01-01 UTC.
struct TFileTime {
    int64_t seconds = 0;
    int32_t nanoseconds = 0;
};

// A regular file open for reading. Open never waits: a FIFO without a writer, a
// device or a folder is refused by the type of what was opened.
class TInputFile {
  public:
    TInputFile() = default;
    TInputFile(const TInputFile&) = delete;
    TInputFile& operator=(const TInputFile&) = delete;
    ~TInputFile();

    TFileProblem Open(const std::filesystem::path& path);
    // Bytes read into `buffer`, 0 at the end; nothing on a read failure.
    std::optional<size_t> Read(void* buffer, size_t size);
    void Close();

    bool IsOpen() const { return handle_ != kNoHandle; }
    // Of the opened file, as found when it was opened.
    uint64_t Size() const { return size_; }
    TFileTime ModifiedTime() const { return modified_; }
    TFileIdentity Identity() const { return identity_; }

  private:
    static constexpr intptr_t kNoHandle = -1;
    intptr_t handle_ = kNoHandle;  // the platform's descriptor or handle
    uint64_t size_ = 0;
    TFileTime modified_;
    TFileIdentity identity_;
};

struct TReadResult {
    TFileProblem problem = TFileProblem::None;
    std::string bytes;
    bool Ok() const { return problem == TFileProblem::None; }
};

// The whole file; TooLarge (and no bytes) when it holds more than maxBytes.
TReadResult ReadWholeFile(const std::filesystem::path& path, uint64_t maxBytes);
// At most the first maxBytes of the file; what lies beyond is not read.
TReadResult ReadFileHead(const std::filesystem::path& path, uint64_t maxBytes);

// Writes a file by rename. Create resolves a link at the target to the file it names
// (a link to nothing is refused) and refuses a target that exists and is no regular
// file; it then creates a new temporary file exclusively in the target's folder.
// Commit flushes, closes and renames it over the target; a replaced file's permissions
// are kept, with owner write added. Until Commit succeeds the target is untouched; an
// object destroyed without Commit removes its temporary file.
class TReplacingFile {
  public:
    explicit TReplacingFile(std::filesystem::path target);
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;
    ~TReplacingFile();

    TFileProblem Create();
    TFileProblem Write(const void* data, size_t size);
    // Writes at a place of its own in the file (parts may come in any order; a gap
    // reads as zero bytes). Mixing with Write leaves Write's position undefined.
    TFileProblem WriteAt(uint64_t offset, const void* data, size_t size);
    // Set before Create: a link found at the target is refused (NotRegular) instead
    // of followed, for files that belong in one folder only.
    void RefuseLinkAtTarget() { refuseLink_ = true; }
    // A working file that need not survive a power cut: Commit skips waiting for the
    // disk and only starts writing it out.
    void SkipSyncAtCommit() { syncAtCommit_ = false; }
    // The modification time the file gets at Commit.
    void SetModifiedTime(const TFileTime& time) { time_ = time; }
    TFileProblem Commit();
    // Closes and removes the temporary file; the target stays as it was.
    void Abandon();

    // The file Commit replaces (the target with a link resolved); valid after Create.
    const std::filesystem::path& Destination() const { return destination_; }
    // The temporary file; empty before Create and after Commit or Abandon.
    const std::filesystem::path& TemporaryPath() const { return temporary_; }

  private:
    std::filesystem::path target_;
    std::filesystem::path destination_;
    std::filesystem::path temporary_;
    intptr_t handle_ = -1;
    TFileIdentity identity_;  // of the temporary file, to remove only that one
    std::optional<TFileTime> time_;
    bool failed_ = false;
    bool refuseLink_ = false;
    bool syncAtCommit_ = true;
};

// The temporary files TReplacingFile leaves beside `target` when the program is killed
// while writing (the name of the target, eight hexadecimal digits, ".tmp"), removed
// when they are regular files no running program is writing. Returns how many went.
size_t RemoveStaleTemporaryFiles(const std::filesystem::path& target);

// A full disk or file size limit reported as a write failure, never as the signal
// that ends the process (SIGXFSZ on POSIX; nothing to do on Windows). Done by every
// TReplacingFile::Create; a handler the program set itself is left alone.
void ReportFileSizeLimitAsError();

// Moves the regular file `source` (never a link) over `target` by rename, with the
// rules of TReplacingFile::Commit: a link at the target is followed, a target that is
// no regular file is refused, a replaced file's permissions are kept with owner write
// added, and the data reach the disk before the rename. The file keeps its own date.
// When both are not on one volume nothing is done and `otherVolume` is set.
TFileProblem MoveFileOver(const std::filesystem::path& source, const std::filesystem::path& target,
                          bool& otherVolume);

// The whole content at once through TReplacingFile.
TFileProblem ReplaceFileContent(const std::filesystem::path& target, std::string_view bytes);

// Removes the name when it is a regular file or a link (only the link goes); never a
// folder, FIFO or device. None when nothing is left under the name.
TFileProblem RemoveFileOrLink(const std::filesystem::path& path);

// Cuts a regular file (a link followed) to 0 bytes in place: the last resort when a
// file must lose its content but its name cannot be removed.
TFileProblem EmptyRegularFile(const std::filesystem::path& path);

}  // namespace veldra
