// The faces mode against the slow exact reference on seeded random drawings: collinear
// pieces, T-junctions, shared ends and free crossings must give the same faces, areas,
// holes, depths and open ends. Picks and gap tolerances are checked by what must hold
// whatever the drawing. A difference is narrowed to a smallest drawing and printed as
// exchange-file lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "regions/faces.h"
#include "regions_test_util.h"
#include "tests/regions/faces_reference.h"

namespace veldra {
namespace {

using test::AddLine;
using test::EmptyStore;
using test::FaceArea;

using TDrawing = std::vector<TFaceEdge>;

TJwwEntityStore StoreOf(const TDrawing& drawing) {
    TJwwEntityStore store = EmptyStore();
    for (const TFaceEdge& e : drawing) AddLine(store, e.a.X, e.a.Y, e.b.X, e.b.Y);
    return store;
}

TFaceBuild Build(const TDrawing& drawing, double gap = 0, std::vector<TRealPoint> picks = {},
                 TIslandMode islands = TIslandMode::Normal) {
    TFaceOptions options;
    options.gapTolerance = gap;
    options.picks = std::move(picks);
    options.islands = islands;
    return BuildFaces(StoreOf(drawing), 24, options);
}

bool Close(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a) + std::fabs(b));
}

// Empty when the build agrees with the reference, else the first difference.
std::string Difference(const TDrawing& drawing) {
    const TFaceBuild build = Build(drawing);
    test::TReferenceFaces ref = test::ReferenceFaces(drawing);
    // Faces smaller than a point (lines crossing within ulps of one point) are left out
    // by the build, as they are from what anyone sees.
    double scale = 1.0;
    for (const TFaceEdge& e : drawing) {
        scale = std::max(
            {scale, std::fabs(e.a.X), std::fabs(e.a.Y), std::fabs(e.b.X), std::fabs(e.b.Y)});
    }
    std::erase_if(ref.faces,
                  [&](const test::TReferenceFace& f) { return f.area <= 1e-15 * scale * scale; });
    char text[240];
    if (build.faces.size() != ref.faces.size()) {
        std::snprintf(text, sizeof text, "%zu faces, reference %zu", build.faces.size(),
                      ref.faces.size());
        return text;
    }
    // Compared as sorted lists of (depth, holes, area): where the exact face has an
    // ulp-thin spike the build leaves out, its lowest point, and so the order, differs.
    struct TKey {
        int32_t depth;
        size_t holes;
        double area;
        bool operator<(const TKey& o) const {
            if (depth != o.depth) return depth < o.depth;
            return holes != o.holes ? holes < o.holes : area < o.area;
        }
    };
    std::vector<TKey> got, want;
    for (size_t i = 0; i < build.faces.size(); ++i) {
        const TFaceRegion& f = build.faces[i];
        got.push_back({f.depth, f.holes.size(), FaceArea(f)});
        if (f.filled != (f.depth % 2 == 0)) return "face " + std::to_string(i) + ": filled";
    }
    for (const test::TReferenceFace& r : ref.faces) {
        want.push_back({r.depth, size_t(r.holes), r.area});
    }
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    for (size_t i = 0; i < want.size(); ++i) {
        if (got[i].depth != want[i].depth || got[i].holes != want[i].holes ||
            !Close(got[i].area, want[i].area)) {
            std::snprintf(text, sizeof text,
                          "face %zu by depth, holes, area: depth %d, %zu holes, area %.17g; "
                          "reference depth %d, %zu holes, area %.17g",
                          i, got[i].depth, got[i].holes, got[i].area, want[i].depth, want[i].holes,
                          want[i].area);
            return text;
        }
    }
    if (build.openEnds.size() != ref.openEnds.size()) {
        std::snprintf(text, sizeof text, "%zu open ends, reference %zu", build.openEnds.size(),
                      ref.openEnds.size());
        return text;
    }
    for (size_t i = 0; i < ref.openEnds.size(); ++i) {
        if (!Close(build.openEnds[i].X, ref.openEnds[i].X) ||
            !Close(build.openEnds[i].Y, ref.openEnds[i].Y)) {
            return "open end " + std::to_string(i);
        }
    }
    return {};
}

// What must hold with picks and a gap tolerance: picks fill the union of what each
// fills alone and a miss fills nothing; every join ends on a drawn line or another
// join; every open end is a drawn end.
std::string BrokenRule(const TDrawing& drawing, double gap, const std::vector<TRealPoint>& picks,
                       TIslandMode islands) {
    if (picks.empty()) return {};
    const TFaceBuild all = Build(drawing, gap, picks, islands);
    std::vector<char> unionFilled(all.faces.size(), 0);
    for (const TRealPoint& p : picks) {
        const TFaceBuild one = Build(drawing, gap, {p}, islands);
        if (one.faces.size() != all.faces.size()) return "faces differ with the picks";
        for (size_t i = 0; i < one.faces.size(); ++i) {
            if (one.faces[i].filled) unionFilled[i] = 1;
        }
    }
    for (size_t i = 0; i < all.faces.size(); ++i) {
        if (all.faces[i].filled != bool(unionFilled[i]))
            return "pick union, face " + std::to_string(i);
    }
    auto distance = [](const TRealPoint& p, const TRealPoint& a, const TRealPoint& b) {
        const double dx = b.X - a.X, dy = b.Y - a.Y, len2 = dx * dx + dy * dy;
        const double u =
            len2 > 0 ? std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len2, 0.0, 1.0) : 0.0;
        return std::hypot(p.X - (a.X + u * dx), p.Y - (a.Y + u * dy));
    };
    for (const TFaceJoin& j : all.joins) {
        bool on = false;
        for (const TFaceEdge& e : drawing) on = on || distance(j.to, e.a, e.b) <= 1e-9;
        for (const TFaceJoin& k : all.joins) {
            on = on || (&k != &j && distance(j.to, k.from, k.to) <= 1e-9);
        }
        if (!on) return "join to nowhere";
    }
    for (const TRealPoint& p : all.openEnds) {
        bool drawn = false;
        for (const TFaceEdge& e : drawing) {
            drawn = drawn || (p.X == e.a.X && p.Y == e.a.Y) || (p.X == e.b.X && p.Y == e.b.Y);
        }
        if (!drawn) return "open end in empty space";
    }
    return {};
}

TDrawing RandomDrawing(std::mt19937& rng) {
    std::uniform_int_distribution<int> grid(0, 6);
    std::uniform_real_distribution<double> real(0.0, 6.0);
    const bool onGrid = rng() % 3 != 0;
    auto point = [&] {
        return onGrid ? TRealPoint{double(grid(rng)), double(grid(rng))}
                      : TRealPoint{real(rng), real(rng)};
    };
    TDrawing d;
    const int count = 3 + int(rng() % 10);
    for (int i = 0; i < count; ++i) {
        TFaceEdge e{point(), point()};
        const unsigned kind = rng() % 6;
        if (kind == 0 && !d.empty()) {
            e.a = d[rng() % d.size()].b;  // a shared end
        } else if (kind == 1 && !d.empty()) {
            // A T-junction: ending half-way along an earlier line.
            const TFaceEdge& o = d[rng() % d.size()];
            e.b = {(o.a.X + o.b.X) / 2, (o.a.Y + o.b.Y) / 2};
        } else if (kind == 2 && !(e.a.X == e.b.X && e.a.Y == e.b.Y)) {
            // Two collinear pieces, overlapping or touching.
            const TRealPoint m{(e.a.X + e.b.X) / 2, (e.a.Y + e.b.Y) / 2};
            d.push_back({e.a, m});
            e.a = rng() % 2 ? m : TRealPoint{(e.a.X + m.X) / 2, (e.a.Y + m.Y) / 2};
        }
        d.push_back(e);
    }
    return d;
}

template <class Fails>
TDrawing Smallest(TDrawing d, Fails&& fails) {
    for (size_t i = 0; i < d.size();) {
        TDrawing fewer = d;
        fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(i));
        if (fails(fewer)) {
            d = std::move(fewer);
        } else {
            ++i;
        }
    }
    return d;
}

std::string ExchangeLines(const TDrawing& d) {
    std::string text = "hq\nlg0\nly0\nlc2\nlt1\n";
    char line[160];
    for (const TFaceEdge& e : d) {
        std::snprintf(line, sizeof line, " %.17g %.17g %.17g %.17g\n", e.a.X, e.a.Y, e.b.X, e.b.Y);
        text += line;
    }
    return text;
}

TEST(FacesDifferential, FacesAgreeWithTheExactReference) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < 400; ++round) {
        const TDrawing d = RandomDrawing(rng);
        const std::string difference = Difference(d);
        if (difference.empty()) continue;
        const TDrawing small =
            Smallest(d, [](const TDrawing& x) { return !Difference(x).empty(); });
        ADD_FAILURE() << "round " << round << ": " << Difference(small) << "\n"
                      << ExchangeLines(small);
        return;
    }
}

TEST(FacesDifferential, PicksAndGapsKeepTheirRules) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> at(-1.0, 7.0);
    const double gaps[] = {0.0, 0.01, 0.3, 1.0};
    for (int round = 0; round < 150; ++round) {
        const TDrawing d = RandomDrawing(rng);
        const double gap = gaps[rng() % 4];
        const auto islands = static_cast<TIslandMode>(rng() % 3);
        std::vector<TRealPoint> picks;
        for (int k = 1 + int(rng() % 3); k > 0; --k) picks.push_back({at(rng), at(rng)});
        const std::string broken = BrokenRule(d, gap, picks, islands);
        if (broken.empty()) continue;
        const TDrawing small = Smallest(
            d, [&](const TDrawing& x) { return !BrokenRule(x, gap, picks, islands).empty(); });
        ADD_FAILURE() << "round " << round << " gap " << gap << ": "
                      << BrokenRule(small, gap, picks, islands) << "\n"
                      << ExchangeLines(small);
        return;
    }
}

}  // namespace
}  // namespace veldra
