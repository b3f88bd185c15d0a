// veldra-cli: the headless front end. It runs the same code as the window.

#include <cstdio>
#include <cstring>
#include <new>

#include "cli/commands.h"

namespace {

constexpr const char* kUsage =
    "usage: veldra-cli COMMAND [options] FILE\n"
    "  inspect [--json] FILE                 list what the exchange file holds\n"
    "  regions [--json] [--divisions N] [--mode chain|faces] ... FILE  the regions\n"
    "  render FILE --out VIEW.png|.bmp [--size WxH] [--background white|black]\n"
    "  fill ...                              fill the regions with a texture (see --help)\n";

int Run(int argc, char** argv) {
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
