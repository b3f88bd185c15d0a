#include "cli/cli_support.h"

#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/command_line.h"
#include "common/code_page_932.h"

namespace veldra::cli {

bool ParseCanvasSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find_first_of("xX");
    return x != std::string::npos &&
           ParseWholeNumber(std::string_view(text).substr(0, x), 1, kMaxCanvasSide, width) &&
           ParseWholeNumber(std::string_view(text).substr(x + 1), 1, kMaxCanvasSide, height);
}

bool CheckInputFile(const char* command, const std::string& file) {
    std::error_code ec;
    const std::filesystem::path path = PathFromUtf8(file);
    const char* problem = !std::filesystem::exists(path, ec)            ? "no such file"
                          : !std::filesystem::is_regular_file(path, ec) ? "not a regular file"
                                                                        : nullptr;
    if (problem == nullptr) return true;
    std::fprintf(stderr, "veldra-cli %s: %s: %s\n", command, file.c_str(), problem);
    return false;
}

std::unique_ptr<QGuiApplication> MakeHeadlessApplication() {
    if (QCoreApplication::instance() != nullptr) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "veldra-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace veldra::cli
