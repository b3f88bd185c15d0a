#include "tests/exchange/host_stand_in.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <process.h>  // getpid
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace veldra::test {

TTempFolder::TTempFolder() {
    // A folder that did not exist: process ids repeat (Wine starts each run from one),
    // and a folder an earlier run could not remove (beyond MAX_PATH) must not be reused.
    static std::atomic<int> serial{0};
    const auto base = std::filesystem::temp_directory_path();
    const std::string prefix = "veldra-test-" + std::to_string(getpid()) + "-";
    do {
        path_ = base / (prefix + std::to_string(serial++));
    } while (!std::filesystem::create_directory(path_));
}

TTempFolder::~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

#ifndef _WIN32
int ExitCodeInChild(const std::function<int()>& body, unsigned seconds) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        alarm(seconds);  // a blocked open ends here, with the child
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TFileSizeLimit::TFileSizeLimit(unsigned long bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    previous_ = limit.rlim_cur;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

TFileSizeLimit::~TFileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = previous_;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler_);
}
#endif

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> THostStandIn::HeaderLines(bool bz) {
    std::vector<std::string> lines = {
        "hq",
        "file=C:\\jww\\\x90\x7d\x96\xca 1.jww",  // a folder named in kanji, a blank in the name
        "hk 0",
        "hs 100 100 50 1 1 1 1 1 1 1 1 1 1 1 1 1",
        "hcw 2 2.5 3 4 5 6 7 8 9 10",
        "hch 2 2.5 3 4 5 6 7 8 9 10",
        "hcd 0 0 0.5 0.5 0.5 0.5 1 1 1 1",
        "hcc      1      1      2      2      3      3      4      4      5      5",
        "hn 0 0 0 0",
        "hp1-  500 100",
        "lg2",
        "ly3",
        "lc2",
        "lt1",
        "cn3",
        "cn\"$<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>",
        "#",
    };
    if (bz) lines.insert(lines.begin() + 1, "bz");
    return lines;
}

void THostStandIn::WriteSelection(const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    WriteBytes(folder_ / "JWC_TEMP.TXT", bytes);
}

THandBack THostStandIn::ReadBack() const {
    THandBack back;
    const auto file = folder_ / "JWC_TEMP.TXT";
    back.present = std::filesystem::is_regular_file(file);
    if (!back.present) return back;
    const std::string bytes = ReadBytes(file);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            back.everyLineEnded = false;
            end = bytes.size();
        }
        back.lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    back.unchanged = back.lines.size() == 1 && back.lines[0] == "hq";
    back.bz = !back.lines.empty() && back.lines[0] == "bz";
    for (const std::string& line : back.lines) {
        size_t quote = line.find('"');
        if (quote == std::string::npos || line.compare(quote + 1, 4, "^@BM") != 0) continue;
        std::istringstream numbers(line.substr(0, quote));
        std::string keyword;
        THostPicture picture;
        double dirX = 0, dirY = 0;
        numbers >> keyword >> picture.x >> picture.y >> dirX >> dirY;
        std::string text = line.substr(quote + 5);
        size_t comma = text.rfind(',');
        if (comma == std::string::npos) continue;
        picture.file = text.substr(0, comma);
        picture.width = std::strtod(text.c_str() + comma + 1, nullptr);
        back.pictures.push_back(picture);
    }
    return back;
}

}  // namespace veldra::test
