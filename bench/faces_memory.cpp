// One face build per run, for its peak memory under `/usr/bin/time -v` (maximum
// resident set size): `veldra_faces_memory hatch|floor N grid|library|none`, where
// `none` builds the drawing only (what the drawing itself takes). The hatch is the
// benchmark's: a 100 x 100 square crossed by N lines at 45 degrees and N at 135; the
// floor has N x 500 rooms of 100 x 100, one line per wall.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_drawings.h"
#include "regions/faces.h"
#include "regions/faces_linework.h"

namespace {

using veldra::TJwwEntityStore;

TJwwEntityStore Drawing(const std::string& kind, int n) {
    return kind == "floor" ? veldra::bench::Floor(n, 500, 0.0) : veldra::bench::Hatch(n);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s hatch|floor N grid|library|none\n", argv[0]);
        return 2;
    }
    const TJwwEntityStore store = Drawing(argv[1], std::atoi(argv[2]));
    if (std::string(argv[3]) == "none") return 0;
    const auto noding = std::string(argv[3]) == "library" ? veldra::TFaceNoding::LibraryOnly
                                                          : veldra::TFaceNoding::Grid;
    const auto start = std::chrono::steady_clock::now();
    const veldra::TFaceBuild build = veldra::BuildFacesUsing(noding, store, 24, {});
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%zu faces, %llu crossings, refused %d, failed %d, %.3f s\n", build.faces.size(),
                static_cast<unsigned long long>(build.crossings), int(build.tooManyCrossings),
                int(build.failed), took.count());
    return 0;
}
