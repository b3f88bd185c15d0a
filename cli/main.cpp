// veldra-cli: the headless front end. It runs the same code as the window.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// after windows.h, whose types it uses
#include <shellapi.h>

#include "common/code_page_932.h"
#endif

namespace {

constexpr const char* kUsage =
    "usage: veldra-cli COMMAND [options] FILE\n"
    "  inspect [--json] FILE                 list what the exchange file holds\n"
    "  regions [--json] [--divisions N] [--mode chain|faces] ... FILE  the regions\n"
    "  render FILE --out VIEW.png|.bmp [--size WxH] [--background white|black]\n"
    "  fill ...                              fill the regions with a texture (see --help)\n";

// The arguments as UTF-8. On Windows the narrow argv is in the ANSI code page, which
// cannot hold every file name: the wide command line is taken instead, and the
// console is told that output is UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
    (void)argc, (void)argv;
    // The console's code page is shared with the shell that started us: put it back.
    static const UINT previousOutputCodePage = GetConsoleOutputCP();
    if (previousOutputCodePage != 0 && SetConsoleOutputCP(CP_UTF8))
        std::atexit([] { SetConsoleOutputCP(previousOutputCodePage); });
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide != nullptr && i < count; ++i) {
        const std::wstring_view argument(wide[i]);
        arguments.push_back(veldra::Utf8FromUtf16(std::u16string_view(
            reinterpret_cast<const char16_t*>(argument.data()), argument.size())));
    }
    if (wide != nullptr) LocalFree(wide);
    return arguments;
#else
    return std::vector<std::string>(argv, argv + argc);
#endif
}

int Run(int argc, char** argv) {
    std::vector<std::string> arguments = Utf8Arguments(argc, argv);
    std::vector<char*> pointers;
    pointers.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    argc = static_cast<int>(arguments.size());
    argv = pointers.data();
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    veldra::cli::Args args(argv + 2, argv + argc);
    const char* command = argv[1];
    if (std::strcmp(command, "inspect") == 0) return veldra::cli::RunInspect(args);
    if (std::strcmp(command, "regions") == 0) return veldra::cli::RunRegions(args);
    if (std::strcmp(command, "render") == 0) return veldra::cli::RunRender(args);
    if (std::strcmp(command, "fill") == 0) return veldra::cli::RunFill(args);
    std::fprintf(stderr, "veldra-cli: unknown command '%s'\n%s", command, kUsage);
    return 2;
}

}  // namespace

// Memory running out anywhere (a huge drawing under a memory limit) ends the run with
// a message and exit status 1, never with an abort.
int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("veldra-cli: out of memory\n", stderr);
        return 1;
    }
}
