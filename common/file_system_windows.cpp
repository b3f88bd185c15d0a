// The file layer on Windows, through the wide (UTF-16) API only, so that names in
// any script reach the file system unchanged. What was opened is checked on the
// handle itself (GetFileType, GetFileInformationByHandle): a device, pipe or folder
// is never read or replaced. Temporary files are created with CREATE_NEW, which
// never follows or reuses what is already under the name.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <random>
#include <string_view>

#include "common/file_system.h"

namespace veldra {

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxTemporaryStem = 200;
constexpr int kTemporaryAttempts = 64;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kMaxChunk = 1u << 30;  // ReadFile and WriteFile take a DWORD count
// 100-nanosecond intervals from 1601-01-01 (FILETIME) to 1970-01-01.
constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;

HANDLE Handle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}
intptr_t Stored(HANDLE handle) {
    return reinterpret_cast<intptr_t>(handle);
}

bool IsMissingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH ||
           error == ERROR_BAD_PATHNAME || error == ERROR_FILENAME_EXCED_RANGE ||
           error == ERROR_DIRECTORY || error == ERROR_CANT_RESOLVE_FILENAME;
}

// What one name leads to, as seen on a handle of it.
struct TExamined {
    bool found = false;
    DWORD error = 0;
    TFileKind kind = TFileKind::Missing;
    BY_HANDLE_FILE_INFORMATION info{};
};

TFileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber,
            (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

TExamined ExamineHandle(HANDLE handle) {
    TExamined result;
    result.found = true;
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &result.info)) {
        result.kind = TFileKind::Other;  // a console, pipe, printer or other device
    } else if (result.info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        result.kind = TFileKind::Folder;
    } else {
        result.kind = TFileKind::Regular;
    }
    return result;
}

// Opens the name without access to its content (attributes only) and looks at it.
// followLinks false examines a link itself.
TExamined Examine(const fs::path& path, bool followLinks) {
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;  // needed to open folders
    if (!followLinks) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        TExamined result;
        result.error = GetLastError();
        return result;
    }
    TExamined result = ExamineHandle(handle);
    CloseHandle(handle);
    return result;
}

bool IsLink(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

TFileTime TimeOf(const FILETIME& time) {
    const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                               time.dwLowDateTime) -
                          kUnixEpochAsFileTime;
    int64_t seconds = ticks / 10000000;
    int64_t rest = ticks % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    return {seconds, static_cast<int32_t>(rest * 100)};
}

FILETIME FileTimeOf(const TFileTime& time) {
    const uint64_t ticks = static_cast<uint64_t>(time.seconds * 10000000 + time.nanoseconds / 100 +
                                                 kUnixEpochAsFileTime);
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    result.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return result;
}

bool WriteAll(HANDLE handle, const char* data, size_t size) {
    while (size > 0) {
        const DWORD ask = static_cast<DWORD>(size < kMaxChunk ? size : kMaxChunk);
        DWORD put = 0;
        if (!WriteFile(handle, data, ask, &put, nullptr) || put == 0) return false;
        data += put;
        size -= put;
    }
    return true;
}

// Eight hexadecimal digits that differ between calls and between processes.
std::wstring RandomTail() {
    static const uint64_t seed = [] {
        std::random_device device;
        return (static_cast<uint64_t>(device()) << 32) ^ device() ^ GetCurrentProcessId();
    }();
    static std::atomic<uint64_t> counter{0};
    uint64_t value = seed + 0x9E3779B97F4A7C15ULL * (counter.fetch_add(1) + 1);
    value ^= value >> 29;
    wchar_t text[16];
    std::swprintf(text, 16, L"%08x", static_cast<unsigned>(value & 0xFFFFFFFFu));
    return text;
}

std::wstring TemporaryStem(const fs::path& destination) {
    std::wstring stem = destination.filename().wstring();
    if (stem.size() > kMaxTemporaryStem) stem.resize(kMaxTemporaryStem);
    return stem + L".";
}

fs::path TemporaryNameBeside(const fs::path& destination) {
    return destination.parent_path() / (TemporaryStem(destination) + RandomTail() + L".tmp");
}

// The stem, eight lower-case hexadecimal digits and ".tmp": a name RandomTail made.
bool IsTemporaryNameOf(std::wstring_view name, std::wstring_view stem) {
    constexpr std::wstring_view kSuffix = L".tmp";
    if (name.size() != stem.size() + 8 + kSuffix.size() || name.substr(0, stem.size()) != stem ||
        name.substr(name.size() - kSuffix.size()) != kSuffix)
        return false;
    for (wchar_t c : name.substr(stem.size(), 8))
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) return false;
    return true;
}

bool WriteAllAt(HANDLE handle, const char* data, size_t size, uint64_t offset) {
    while (size > 0) {
        const DWORD ask = static_cast<DWORD>(size < kMaxChunk ? size : kMaxChunk);
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD put = 0;
        if (!WriteFile(handle, data, ask, &put, &at) || put == 0) return false;
        data += put;
        size -= put;
        offset += put;
    }
    return true;
}

// The file a link leads to, by its final name; empty when that cannot be told.
fs::path FinalPathOf(const fs::path& path) {
    HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    std::wstring name(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()),
                                             FILE_NAME_NORMALIZED);
    if (length >= name.size()) {
        name.resize(length + 1);
        length = GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()),
                                           FILE_NAME_NORMALIZED);
    }
    CloseHandle(handle);
    if (length == 0 || length >= name.size()) return {};
    name.resize(length);
    return fs::path(name);
}

}  // namespace

TFileKind FileKindOf(const fs::path& path) {
    const TExamined seen = Examine(path, true);
    if (!seen.found) return IsMissingError(seen.error) ? TFileKind::Missing : TFileKind::Other;
    return seen.kind;
}

bool NameExists(const fs::path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<TFileIdentity> FileIdentityOf(const fs::path& path) {
    const TExamined seen = Examine(path, true);
    if (!seen.found || seen.kind == TFileKind::Other) return std::nullopt;
    return IdentityOf(seen.info);
}

// --- reading ---

TInputFile::~TInputFile() {
    Close();
}

TFileProblem TInputFile::Open(const fs::path& path) {
    Close();
    // A first look spares devices even the open for reading; the handle opened for
    // reading is checked again, since the name may change in between.
    const TExamined first = Examine(path, true);
    if (!first.found) {
        return IsMissingError(first.error) ? TFileProblem::Missing : TFileProblem::ReadFailed;
    }
    if (first.kind != TFileKind::Regular) return TFileProblem::NotRegular;
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return IsMissingError(GetLastError()) ? TFileProblem::Missing : TFileProblem::ReadFailed;
    }
    const TExamined opened = ExamineHandle(handle);
    if (opened.kind != TFileKind::Regular) {
        CloseHandle(handle);
        return TFileProblem::NotRegular;
    }
    handle_ = Stored(handle);
    size_ = (static_cast<uint64_t>(opened.info.nFileSizeHigh) << 32) | opened.info.nFileSizeLow;
    modified_ = TimeOf(opened.info.ftLastWriteTime);
    identity_ = IdentityOf(opened.info);
    return TFileProblem::None;
}

std::optional<size_t> TInputFile::Read(void* buffer, size_t size) {
    if (!IsOpen()) return std::nullopt;
    const DWORD ask = static_cast<DWORD>(size < kMaxChunk ? size : kMaxChunk);
    DWORD got = 0;
    if (!ReadFile(Handle(handle_), buffer, ask, &got, nullptr)) return std::nullopt;
    return static_cast<size_t>(got);
}

void TInputFile::Close() {
    if (IsOpen()) CloseHandle(Handle(handle_));
    handle_ = kNoHandle;
}

// --- writing by rename ---

TFileProblem TReplacingFile::Create() {
    Abandon();
    failed_ = false;
    if (target_.empty() || !target_.has_filename()) return TFileProblem::WriteFailed;

    // Find the file to replace: a link is followed to the file it names.
    destination_ = target_;
    if (refuseLink_ && IsLink(target_)) return TFileProblem::NotRegular;
    const TExamined seen = Examine(target_, true);
    if (seen.found) {
        if (seen.kind != TFileKind::Regular) return TFileProblem::NotRegular;
        if (IsLink(target_)) {
            destination_ = FinalPathOf(target_);
            if (destination_.empty()) return TFileProblem::NotRegular;
        }
    } else if (NameExists(target_)) {
        return TFileProblem::NotRegular;  // a link to nothing
    } else if (!IsMissingError(seen.error)) {
        return TFileProblem::WriteFailed;
    }

    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = 0;
    for (int attempt = 0; attempt < kTemporaryAttempts && handle == INVALID_HANDLE_VALUE;
         ++attempt) {
        temporary_ = TemporaryNameBeside(destination_);
        handle = CreateFileW(temporary_.c_str(), GENERIC_WRITE | FILE_WRITE_ATTRIBUTES,
                             FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        temporary_.clear();
        return IsMissingError(error) ? TFileProblem::Missing : TFileProblem::WriteFailed;
    }
    handle_ = Stored(handle);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) {
        CloseHandle(handle);
        handle_ = -1;
        DeleteFileW(temporary_.c_str());
        temporary_.clear();
        return TFileProblem::WriteFailed;
    }
    identity_ = IdentityOf(info);
    return TFileProblem::None;
}

TFileProblem TReplacingFile::Write(const void* data, size_t size) {
    if (handle_ == -1 || failed_) return TFileProblem::WriteFailed;
    if (!WriteAll(Handle(handle_), static_cast<const char*>(data), size)) {
        failed_ = true;
        return TFileProblem::WriteFailed;
    }
    return TFileProblem::None;
}

TFileProblem TReplacingFile::WriteAt(uint64_t offset, const void* data, size_t size) {
    if (handle_ == -1 || failed_) return TFileProblem::WriteFailed;
    if (!WriteAllAt(Handle(handle_), static_cast<const char*>(data), size, offset)) {
        failed_ = true;
        return TFileProblem::WriteFailed;
    }
    return TFileProblem::None;
}

TFileProblem TReplacingFile::Commit() {
    if (handle_ == -1 || failed_) {
        Abandon();
        return TFileProblem::WriteFailed;
    }
    HANDLE handle = Handle(handle_);
    bool ok = true;
    if (time_) {
        const FILETIME written = FileTimeOf(*time_);
        ok = SetFileTime(handle, nullptr, nullptr, &written) != 0;
    }
    // A full disk may show only when the data reaches it.
    if (syncAtCommit_) ok = FlushFileBuffers(handle) != 0 && ok;
    handle_ = -1;
    ok = CloseHandle(handle) != 0 && ok;
    if (!ok) {
        Abandon();
        return TFileProblem::WriteFailed;
    }
    // What was checked at Create may have changed: never move over a folder or device.
    const TExamined now = Examine(destination_, false);
    if (now.found && now.kind != TFileKind::Regular) {
        Abandon();
        return TFileProblem::NotRegular;
    }
    // Nor put anything in place but the file written here.
    const TExamined written = Examine(temporary_, false);
    if (!written.found || written.kind != TFileKind::Regular ||
        (written.info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        IdentityOf(written.info) != identity_) {
        temporary_.clear();
        return TFileProblem::WriteFailed;
    }
    // A read-only file cannot be replaced: it is made writable, as on other systems.
    if (now.found && (now.info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(destination_.c_str(), now.info.dwFileAttributes &
                                                     ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    if (!MoveFileExW(temporary_.c_str(), destination_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Abandon();
        return TFileProblem::WriteFailed;
    }
    temporary_.clear();
    return TFileProblem::None;
}

void TReplacingFile::Abandon() {
    if (handle_ != -1) CloseHandle(Handle(handle_));
    handle_ = -1;
    if (temporary_.empty()) return;
    // Only the file this object created goes, never whatever took its name since.
    const TExamined seen = Examine(temporary_, false);
    if (seen.found && seen.kind == TFileKind::Regular &&
        !(seen.info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        IdentityOf(seen.info) == identity_)
        DeleteFileW(temporary_.c_str());
    temporary_.clear();
}

size_t RemoveStaleTemporaryFiles(const fs::path& target) {
    if (!target.has_filename()) return 0;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(L".");
    const std::wstring stem = TemporaryStem(target);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder / (stem + L"*.tmp")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    size_t removed = 0;
    do {
        if (!IsTemporaryNameOf(found.cFileName, stem)) continue;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        // A writer still at work keeps the file open without delete sharing, so the
        // deletion fails for it.
        if (DeleteFileW((folder / found.cFileName).c_str())) ++removed;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return removed;
}

void ReportFileSizeLimitAsError() {}

TFileProblem MoveFileOver(const fs::path& source, const fs::path& target, bool& otherVolume) {
    otherVolume = false;
    if (IsLink(source)) return TFileProblem::NotRegular;
    const TExamined from = Examine(source, false);
    if (!from.found) {
        return IsMissingError(from.error) ? TFileProblem::Missing : TFileProblem::ReadFailed;
    }
    if (from.kind != TFileKind::Regular) return TFileProblem::NotRegular;
    fs::path destination = target;
    const TExamined seen = Examine(target, true);
    if (seen.found) {
        if (seen.kind != TFileKind::Regular) return TFileProblem::NotRegular;
        if (IdentityOf(seen.info) == IdentityOf(from.info)) return TFileProblem::SameFile;
        if (IsLink(target)) {
            destination = FinalPathOf(target);
            if (destination.empty()) return TFileProblem::NotRegular;
        }
    } else if (NameExists(target)) {
        return TFileProblem::NotRegular;  // a link to nothing
    } else if (!IsMissingError(seen.error)) {
        return TFileProblem::WriteFailed;
    }
    // A full disk may show only when the data reaches it.
    HANDLE handle = CreateFileW(source.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return TFileProblem::ReadFailed;
    const bool flushed = FlushFileBuffers(handle) != 0;
    CloseHandle(handle);
    if (!flushed) return TFileProblem::WriteFailed;
    const TExamined now = Examine(destination, false);
    if (now.found && now.kind != TFileKind::Regular) return TFileProblem::NotRegular;
    if (now.found && (now.info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(destination.c_str(), now.info.dwFileAttributes &
                                                    ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    if (!MoveFileExW(source.c_str(), destination.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        if (error == ERROR_NOT_SAME_DEVICE) {
            otherVolume = true;
            return TFileProblem::None;
        }
        return IsMissingError(error) ? TFileProblem::Missing : TFileProblem::WriteFailed;
    }
    return TFileProblem::None;
}

// --- removing ---

TFileProblem RemoveFileOrLink(const fs::path& path) {
    const TExamined seen = Examine(path, false);
    if (!seen.found) {
        return IsMissingError(seen.error) ? TFileProblem::None : TFileProblem::WriteFailed;
    }
    const bool link = seen.kind != TFileKind::Other &&
                      (seen.info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (seen.kind != TFileKind::Regular && !link) return TFileProblem::NotRegular;
    // A link to a folder is itself removed as a folder; the folder it names stays.
    const BOOL removed =
        seen.kind == TFileKind::Folder ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
    if (!removed && !IsMissingError(GetLastError())) return TFileProblem::WriteFailed;
    return TFileProblem::None;
}

TFileProblem EmptyRegularFile(const fs::path& path) {
    const TExamined seen = Examine(path, true);
    if (!seen.found) {
        return IsMissingError(seen.error) ? TFileProblem::Missing : TFileProblem::WriteFailed;
    }
    if (seen.kind != TFileKind::Regular) return TFileProblem::NotRegular;
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return TFileProblem::WriteFailed;
    if (ExamineHandle(handle).kind != TFileKind::Regular) {
        CloseHandle(handle);
        return TFileProblem::NotRegular;
    }
    LARGE_INTEGER start{};
    bool ok = SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
    ok = CloseHandle(handle) != 0 && ok;
    return ok ? TFileProblem::None : TFileProblem::WriteFailed;
}

}  // namespace veldra
