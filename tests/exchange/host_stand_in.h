#pragma once

// A stand-in for the host CAD in tests: it writes an exchange file into a program
// folder the way the host does (Shift-JIS bytes, CR LF) and reads back what the
// program left there, as the host would.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace veldra::test {

// A fresh folder under the system's temporary folder, removed with its content.
class TTempFolder {
  public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& file);
#ifndef _WIN32  // fork and file size limits are POSIX
// Runs `body` in a child process that is killed after `seconds`: its result (0..255),
// or -1 when it was killed or did not end by itself. For code that might block for
// ever (a FIFO) or that changes process limits.
int ExitCodeInChild(const std::function<int()>& body, unsigned seconds = 10);

// While it lives, no file of this process grows beyond `bytes` (a disk that fills up;
// binds root too): writes beyond fail instead of raising SIGXFSZ. For code that a
// forked child cannot run (Qt's painting uses threads).
class TFileSizeLimit {
  public:
    explicit TFileSizeLimit(unsigned long bytes);
    ~TFileSizeLimit();
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

  private:
    unsigned long previous_ = 0;
    void (*previousHandler_)(int) = nullptr;
};
#endif
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

struct THostPicture {
    std::string file;  // the bytes between "^@BM" and the last comma
    double x = 0, y = 0, width = 0;
};

struct THandBack {
    bool present = false;        // the program left a file
    bool unchanged = false;      // it holds only "hq"
    bool bz = false;             // its first line is "bz"
    bool everyLineEnded = true;  // every line ends with CR LF
    std::vector<std::string> lines;
    std::vector<THostPicture> pictures;
};

class THostStandIn {
  public:
    explicit THostStandIn(std::filesystem::path programFolder)
        : folder_(std::move(programFolder)) {}

    // The header block the host writes before the selection (scales, character kinds,
    // reference points, current attributes, font name), ending with "#".
    static std::vector<std::string> HeaderLines(bool bz);
    // Writes the lines, each ended by CR LF, as the folder's exchange file.
    void WriteSelection(const std::vector<std::string>& lines) const;
    // What the host takes back after the program ended.
    THandBack ReadBack() const;

  private:
    std::filesystem::path folder_;
};

}  // namespace veldra::test
