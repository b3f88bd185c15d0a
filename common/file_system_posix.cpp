// The file layer on POSIX. Opening for reading uses O_NONBLOCK so that a FIFO
// without a writer cannot hold the program, and the type of what was opened is
// checked on the descriptor itself (fstat), so a name swapped after the check
// cannot slip through. Temporary files are created with O_EXCL | O_NOFOLLOW.

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "common/file_system.h"

namespace veldra {

namespace fs = std::filesystem;

namespace {

// Longest file-name part of a temporary name before its random tail.
constexpr size_t kMaxTemporaryStem = 200;
constexpr int kTemporaryAttempts = 64;

int Fd(intptr_t handle) {
    return static_cast<int>(handle);
}

TFileIdentity IdentityOf(const struct stat& st) {
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

bool IsMissingError(int error) {
    return error == ENOENT || error == ENOTDIR || error == ELOOP || error == ENAMETOOLONG;
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (put == 0) return false;
        data += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

bool WriteAllAt(int fd, const char* data, size_t size, uint64_t offset) {
    while (size > 0) {
        const ssize_t put = ::pwrite(fd, data, size, static_cast<off_t>(offset));
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (put == 0) return false;
        data += put;
        size -= static_cast<size_t>(put);
        offset += static_cast<uint64_t>(put);
    }
    return true;
}

// Eight hexadecimal digits that differ between calls and between processes.
std::string RandomTail() {
    static const uint64_t seed = [] {
        std::random_device device;
        return (static_cast<uint64_t>(device()) << 32) ^ device() ^
               static_cast<uint64_t>(::getpid());
    }();
    static std::atomic<uint64_t> counter{0};
    uint64_t value = seed + 0x9E3779B97F4A7C15ULL * (counter.fetch_add(1) + 1);
    value ^= value >> 29;
    char text[16];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(value & 0xFFFFFFFFu));
    return text;
}

std::string TemporaryStem(const fs::path& destination) {
    std::string stem = destination.filename().string();
    if (stem.size() > kMaxTemporaryStem) stem.resize(kMaxTemporaryStem);
    return stem + ".";
}

fs::path TemporaryNameBeside(const fs::path& destination) {
    return destination.parent_path() / (TemporaryStem(destination) + RandomTail() + ".tmp");
}

// The stem, eight lower-case hexadecimal digits and ".tmp": a name RandomTail made.
bool IsTemporaryNameOf(std::string_view name, std::string_view stem) {
    constexpr std::string_view kSuffix = ".tmp";
    if (name.size() != stem.size() + 8 + kSuffix.size() || !name.starts_with(stem) ||
        !name.ends_with(kSuffix))
        return false;
    for (char c : name.substr(stem.size(), 8))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

// Where a replacing write lands: the target, or the file a link there names. Nothing
// when the target is a link to nothing or no regular file; `replacing` tells whether a
// file is there, `existing` its status.
std::optional<fs::path> ResolveTarget(const fs::path& target, bool refuseLink, bool& replacing,
                                      struct stat& existing, TFileProblem& problem) {
    replacing = false;
    problem = TFileProblem::None;
    fs::path destination = target;
    if (::lstat(target.c_str(), &existing) == 0) {
        if (S_ISLNK(existing.st_mode)) {
            problem = TFileProblem::NotRegular;
            if (refuseLink) return std::nullopt;
            char* resolved = ::realpath(target.c_str(), nullptr);
            if (resolved == nullptr) return std::nullopt;  // a link to nothing
            destination = fs::path(resolved);
            std::free(resolved);
            if (::lstat(destination.c_str(), &existing) != 0) return std::nullopt;
        }
        if (!S_ISREG(existing.st_mode)) {
            problem = TFileProblem::NotRegular;
            return std::nullopt;
        }
        problem = TFileProblem::None;
        replacing = true;
    } else if (errno != ENOENT && errno != ENOTDIR) {
        problem = TFileProblem::WriteFailed;
        return std::nullopt;
    }
    return destination;
}

}  // namespace

TFileKind FileKindOf(const fs::path& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        return IsMissingError(errno) ? TFileKind::Missing : TFileKind::Other;
    }
    if (S_ISREG(st.st_mode)) return TFileKind::Regular;
    if (S_ISDIR(st.st_mode)) return TFileKind::Folder;
    return TFileKind::Other;
}

bool NameExists(const fs::path& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::optional<TFileIdentity> FileIdentityOf(const fs::path& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return IdentityOf(st);
}

// --- reading ---

TInputFile::~TInputFile() {
    Close();
}

TFileProblem TInputFile::Open(const fs::path& path) {
    Close();
    // A first look by name spares devices even the open; the descriptor is checked
    // again below, since the name may change in between.
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        return IsMissingError(errno) ? TFileProblem::Missing : TFileProblem::ReadFailed;
    }
    if (!S_ISREG(st.st_mode)) return TFileProblem::NotRegular;
    const int fd = OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return IsMissingError(errno) ? TFileProblem::Missing : TFileProblem::ReadFailed;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return TFileProblem::NotRegular;
    }
    handle_ = fd;
    size_ = static_cast<uint64_t>(st.st_size);
    modified_ = {static_cast<int64_t>(st.st_mtim.tv_sec), static_cast<int32_t>(st.st_mtim.tv_nsec)};
    identity_ = IdentityOf(st);
    return TFileProblem::None;
}

std::optional<size_t> TInputFile::Read(void* buffer, size_t size) {
    if (!IsOpen()) return std::nullopt;
    for (;;) {
        const ssize_t got = ::read(Fd(handle_), buffer, size);
        if (got >= 0) return static_cast<size_t>(got);
        if (errno != EINTR) return std::nullopt;
    }
}

void TInputFile::Close() {
    if (IsOpen()) ::close(Fd(handle_));
    handle_ = kNoHandle;
}

// --- writing by rename ---

TFileProblem TReplacingFile::Create() {
    Abandon();
    failed_ = false;
    if (target_.empty() || !target_.has_filename()) return TFileProblem::WriteFailed;

    ReportFileSizeLimitAsError();

    // Find the file to replace: a link is followed to the file it names.
    struct stat st;
    bool replacing = false;
    TFileProblem problem = TFileProblem::None;
    const std::optional<fs::path> resolved =
        ResolveTarget(target_, refuseLink_, replacing, st, problem);
    if (!resolved) return problem;
    destination_ = *resolved;

    int fd = -1;
    for (int attempt = 0; attempt < kTemporaryAttempts && fd < 0; ++attempt) {
        temporary_ = TemporaryNameBeside(destination_);
        fd = OpenRetrying(temporary_.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        const int error = errno;
        temporary_.clear();
        return error == ENOENT ? TFileProblem::Missing : TFileProblem::WriteFailed;
    }
    handle_ = fd;
    struct stat created;
    if (::fstat(fd, &created) != 0) {
        ::close(fd);
        handle_ = -1;
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return TFileProblem::WriteFailed;
    }
    identity_ = IdentityOf(created);
    // Held until the file is closed: tells a running writer from one that was killed,
    // whose file RemoveStaleTemporaryFiles may take away.
    (void)::flock(fd, LOCK_EX | LOCK_NB);
    if (replacing) {
        // The file keeps its permissions and owner, made writable for its owner.
        const mode_t keep = st.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO);
        (void)::fchmod(fd, keep | S_IWUSR);
        if (::geteuid() == 0) (void)::fchown(fd, st.st_uid, st.st_gid);
    }
    return TFileProblem::None;
}

TFileProblem TReplacingFile::Write(const void* data, size_t size) {
    if (handle_ < 0 || failed_) return TFileProblem::WriteFailed;
    if (!WriteAll(Fd(handle_), static_cast<const char*>(data), size)) {
        failed_ = true;
        return TFileProblem::WriteFailed;
    }
    return TFileProblem::None;
}

TFileProblem TReplacingFile::WriteAt(uint64_t offset, const void* data, size_t size) {
    if (handle_ < 0 || failed_) return TFileProblem::WriteFailed;
    if (!WriteAllAt(Fd(handle_), static_cast<const char*>(data), size, offset)) {
        failed_ = true;
        return TFileProblem::WriteFailed;
    }
    return TFileProblem::None;
}

TFileProblem TReplacingFile::Commit() {
    if (handle_ < 0 || failed_) {
        Abandon();
        return TFileProblem::WriteFailed;
    }
    const int fd = Fd(handle_);
    bool ok = true;
    if (time_) {
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = static_cast<time_t>(time_->seconds);
        times[1].tv_nsec = time_->nanoseconds;
        ok = ::futimens(fd, times) == 0;
    }
    // A full disk may show only when the data reaches it.
    if (syncAtCommit_) {
        ok = ::fsync(fd) == 0 && ok;
    } else {
#ifdef __linux__
        // Started now, the writing out is mostly done when the file is moved later.
        (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    }
    handle_ = -1;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        Abandon();
        return TFileProblem::WriteFailed;
    }
    // What was checked at Create may have changed: never rename over a folder, FIFO
    // or device.
    struct stat st;
    if (::lstat(destination_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        Abandon();
        return TFileProblem::NotRegular;
    }
    // Nor put anything in place but the file written here.
    if (::lstat(temporary_.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        IdentityOf(st) != identity_) {
        temporary_.clear();
        return TFileProblem::WriteFailed;
    }
    if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
        Abandon();
        return TFileProblem::WriteFailed;
    }
    temporary_.clear();
    return TFileProblem::None;
}

void TReplacingFile::Abandon() {
    if (handle_ >= 0) ::close(Fd(handle_));
    handle_ = -1;
    if (temporary_.empty()) return;
    // Only the file this object created goes, never whatever took its name since.
    struct stat st;
    if (::lstat(temporary_.c_str(), &st) == 0 && S_ISREG(st.st_mode) && IdentityOf(st) == identity_)
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

size_t RemoveStaleTemporaryFiles(const fs::path& target) {
    if (!target.has_filename()) return 0;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string stem = TemporaryStem(target);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return 0;
    size_t removed = 0;
    while (const struct dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryNameOf(entry->d_name, stem)) continue;
        const fs::path path = folder / entry->d_name;
        // Opened without following a link or waiting on a FIFO; a writer still at work
        // holds its lock.
        const int fd =
            OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened, named;
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            S_ISREG(named.st_mode) && IdentityOf(named) == IdentityOf(opened) &&
            ::unlink(path.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

void ReportFileSizeLimitAsError() {
    struct sigaction current;
    if (::sigaction(SIGXFSZ, nullptr, &current) != 0) return;
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_DFL) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGXFSZ, &ignore, nullptr);
    }
}

TFileProblem MoveFileOver(const fs::path& source, const fs::path& target, bool& otherVolume) {
    otherVolume = false;
    struct stat from;
    if (::lstat(source.c_str(), &from) != 0) {
        return IsMissingError(errno) ? TFileProblem::Missing : TFileProblem::ReadFailed;
    }
    if (!S_ISREG(from.st_mode)) return TFileProblem::NotRegular;
    bool replacing = false;
    struct stat existing;
    TFileProblem problem = TFileProblem::None;
    const std::optional<fs::path> destination =
        ResolveTarget(target, false, replacing, existing, problem);
    if (!destination) return problem;
    if (replacing && IdentityOf(existing) == IdentityOf(from)) return TFileProblem::SameFile;
    struct stat folder;
    const fs::path parent = destination->has_parent_path() ? destination->parent_path() : ".";
    if (::stat(parent.c_str(), &folder) != 0) {
        return IsMissingError(errno) ? TFileProblem::Missing : TFileProblem::WriteFailed;
    }
    if (folder.st_dev != from.st_dev) {
        otherVolume = true;
        return TFileProblem::None;
    }
    const int fd = OpenRetrying(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return TFileProblem::ReadFailed;
    struct stat opened;
    bool ok = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
              IdentityOf(opened) == IdentityOf(from);
    if (ok && replacing) {
        const mode_t keep = existing.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO);
        (void)::fchmod(fd, keep | S_IWUSR);
        if (::geteuid() == 0) (void)::fchown(fd, existing.st_uid, existing.st_gid);
    }
    // A full disk may show only when the data reaches it.
    ok = ok && ::fdatasync(fd) == 0;
    ::close(fd);
    if (!ok) return TFileProblem::WriteFailed;
    // What was checked above may have changed: never rename over a folder, FIFO or device.
    struct stat now;
    if (::lstat(destination->c_str(), &now) == 0 && !S_ISREG(now.st_mode))
        return TFileProblem::NotRegular;
    if (::rename(source.c_str(), destination->c_str()) != 0) {
        if (errno == EXDEV) {
            otherVolume = true;
            return TFileProblem::None;
        }
        return IsMissingError(errno) ? TFileProblem::Missing : TFileProblem::WriteFailed;
    }
    return TFileProblem::None;
}

// --- removing ---

TFileProblem RemoveFileOrLink(const fs::path& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
        return IsMissingError(errno) ? TFileProblem::None : TFileProblem::WriteFailed;
    }
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return TFileProblem::NotRegular;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return TFileProblem::WriteFailed;
    return TFileProblem::None;
}

TFileProblem EmptyRegularFile(const fs::path& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        return IsMissingError(errno) ? TFileProblem::Missing : TFileProblem::WriteFailed;
    }
    if (!S_ISREG(st.st_mode)) return TFileProblem::NotRegular;
    const int fd = OpenRetrying(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return TFileProblem::WriteFailed;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!ok) {
        ::close(fd);
        return TFileProblem::NotRegular;
    }
    ok = ::ftruncate(fd, 0) == 0;
    ok = ::close(fd) == 0 && ok;
    return ok ? TFileProblem::None : TFileProblem::WriteFailed;
}

}  // namespace veldra
