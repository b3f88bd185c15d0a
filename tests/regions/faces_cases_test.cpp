// Faces a person would call right: walls drawn in pieces that miss each other, picks,
// islands told by containment, near-coincident crossings, joins that end on something,
// and the crossing budget checked before the exact noding.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "common/tolerances.h"
#include "regions/faces.h"
#include "regions/faces_linework.h"
#include "regions_test_util.h"
#include "tests/posix_only.h"

namespace veldra {
namespace {

using test::AddLine;
using test::EmptyStore;
using test::FaceArea;

TFaceBuild Faces(const TJwwEntityStore& store, double gap = 0.0,
                 TIslandMode islands = TIslandMode::Normal, std::vector<TRealPoint> picks = {}) {
    TFaceOptions options;
    options.gapTolerance = gap;
    options.islands = islands;
    options.picks = std::move(picks);
    return BuildFaces(store, 24, options);
}

void AddSquare(TJwwEntityStore& store, double lo, double hi) {
    AddLine(store, lo, lo, hi, lo);
    AddLine(store, hi, lo, hi, hi);
    AddLine(store, hi, hi, lo, hi);
    AddLine(store, lo, hi, lo, lo);
}

double PointSegmentDistance(const TRealPoint& p, const TRealPoint& a, const TRealPoint& b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double len2 = dx * dx + dy * dy;
    const double u =
        len2 > 0 ? std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(p.X - (a.X + u * dx), p.Y - (a.Y + u * dy));
}

// Every join ends on a drawn line or on another join.
void ExpectJoinsEndOnSomething(const TJwwEntityStore& store, const TFaceBuild& build) {
    for (const TFaceJoin& join : build.joins) {
        bool onSomething = false;
        for (const TJwwEntLine& l : store.lines) {
            onSomething =
                onSomething || PointSegmentDistance(join.to, {l.x1, l.y1}, {l.x2, l.y2}) <= 1e-9;
        }
        for (const TFaceJoin& other : build.joins) {
            if (&other == &join) continue;
            onSomething =
                onSomething || PointSegmentDistance(join.to, other.from, other.to) <= 1e-9;
        }
        EXPECT_TRUE(onSomething) << join.from.X << "," << join.from.Y << " -> " << join.to.X << ","
                                 << join.to.Y;
    }
}

// A square whose left side is drawn in two pieces 0.005 apart, turned by `degrees`
// about the origin.
TJwwEntityStore SplitWallSquare(double degrees) {
    const double c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
    auto at = [&](double x, double y) { return TRealPoint{c * x - s * y, s * x + c * y}; };
    TJwwEntityStore store = EmptyStore();
    auto line = [&](double x1, double y1, double x2, double y2) {
        const TRealPoint a = at(x1, y1), b = at(x2, y2);
        AddLine(store, a.X, a.Y, b.X, b.Y);
    };
    line(0, 0, 10, 0);
    line(10, 0, 10, 10);
    line(10, 10, 0, 10);
    line(0, 10, 0, 5);
    line(0, 4.995, 0, 0);
    return store;
}

TEST(FacesCases, CollinearPiecesWithinTheGapJoinWhereTheyAreDrawn) {
    const TFaceBuild open = Faces(SplitWallSquare(0));
    EXPECT_TRUE(open.faces.empty());
    ASSERT_EQ(open.openEnds.size(), 2u);
    EXPECT_EQ(open.openEnds[0].Y, 4.995);
    EXPECT_EQ(open.openEnds[1].Y, 5.0);
    EXPECT_EQ(open.openEnds[0].X, 0.0);

    for (double degrees : {0.0, 90.0, 30.0}) {
        SCOPED_TRACE(degrees);
        const TFaceBuild closed = Faces(SplitWallSquare(degrees), 0.01);
        ASSERT_EQ(closed.faces.size(), 1u);
        EXPECT_NEAR(FaceArea(closed.faces[0]), 100.0, 1e-6);
        EXPECT_TRUE(closed.openEnds.empty());
        ASSERT_EQ(closed.joins.size(), 1u);
        // From one drawn end to the other, at the drawing's own coordinates.
        const TFaceJoin& j = closed.joins[0];
        EXPECT_NEAR(std::hypot(j.to.X - j.from.X, j.to.Y - j.from.Y), 0.005, 1e-9);
    }
    const TFaceJoin j = Faces(SplitWallSquare(0), 0.01).joins[0];
    EXPECT_EQ(j.from.X, 0.0);
    EXPECT_EQ(j.to.X, 0.0);
    EXPECT_EQ(std::min(j.from.Y, j.to.Y), 4.995);
    EXPECT_EQ(std::max(j.from.Y, j.to.Y), 5.0);

    // A 5 x 5 block of rooms, every room side its own wall stopping 0.005 short of its
    // far corner: all 25 rooms close, the ones along the outer walls too.
    TJwwEntityStore rooms = EmptyStore();
    for (int i = 0; i < 5; ++i) {
        for (int k = 0; k < 5; ++k) {
            const double x = i * 10.0, y = k * 10.0;
            AddLine(rooms, x, y, x + 9.995, y);
            AddLine(rooms, x + 10, y, x + 10, y + 9.995);
            AddLine(rooms, x + 10, y + 10, x + 0.005, y + 10);
            AddLine(rooms, x, y + 10, x, y + 0.005);
        }
    }
    const TFaceBuild block = Faces(rooms, 0.01);
    EXPECT_EQ(block.faces.size(), 25u);
    EXPECT_TRUE(block.openEnds.empty());
    ExpectJoinsEndOnSomething(rooms, block);
}

TEST(FacesCases, PicksFillTheUnionOfWhatEachFillsAndAMissFillsNothing) {
    TJwwEntityStore two = EmptyStore();
    AddSquare(two, 0, 10);
    AddSquare(two, 20, 30);
    const TFaceBuild missed = Faces(two, 0, TIslandMode::Normal, {{1000, 1000}});
    ASSERT_EQ(missed.faces.size(), 2u);
    EXPECT_TRUE(missed.noPickHit);
    EXPECT_FALSE(missed.faces[0].filled || missed.faces[1].filled);
    const TFaceBuild hit = Faces(two, 0, TIslandMode::Normal, {{1000, 1000}, {5, 5}, {6, 6}});
    EXPECT_FALSE(hit.noPickHit);
    EXPECT_TRUE(hit.faces[0].filled);
    EXPECT_FALSE(hit.faces[1].filled);
    EXPECT_FALSE(Faces(two).noPickHit);

    // Three nested squares: a pick in the outer ring fills depths 0 and 2, one in the
    // middle ring depth 1; both together fill all three.
    TJwwEntityStore nested = EmptyStore();
    AddSquare(nested, 0, 100);
    AddSquare(nested, 20, 80);
    AddSquare(nested, 40, 60);
    auto filledDepths = [&](const std::vector<TRealPoint>& picks, TIslandMode mode) {
        std::vector<int32_t> depths;
        for (const TFaceRegion& f : Faces(nested, 0, mode, picks).faces) {
            if (f.filled) depths.push_back(f.depth);
        }
        std::sort(depths.begin(), depths.end());
        return depths;
    };
    using Depths = std::vector<int32_t>;
    EXPECT_EQ(filledDepths({{5, 50}}, TIslandMode::Normal), (Depths{0, 2}));
    EXPECT_EQ(filledDepths({{25, 50}}, TIslandMode::Normal), (Depths{1}));
    EXPECT_EQ(filledDepths({{5, 50}, {25, 50}}, TIslandMode::Normal), (Depths{0, 1, 2}));
    EXPECT_EQ(filledDepths({{5, 50}, {15, 50}}, TIslandMode::Normal), (Depths{0, 2}));
    EXPECT_EQ(filledDepths({{5, 50}, {50, 50}}, TIslandMode::OuterOnly), (Depths{0, 2}));
    EXPECT_EQ(filledDepths({{25, 50}}, TIslandMode::Ignore), (Depths{1, 2}));
}

TEST(FacesCases, OneOrTwoLinesGetTheirEndsAndJoins) {
    TJwwEntityStore one = EmptyStore();
    AddLine(one, 0, 0, 10, 0);
    const TFaceBuild single = Faces(one, 1);
    EXPECT_EQ(single.openEnds.size(), 2u);

    TJwwEntityStore strip = EmptyStore();
    AddLine(strip, 0, 0, 10, 0);
    AddLine(strip, 0, 0.3, 10, 0.3);
    const TFaceBuild closed = Faces(strip, 1);
    ASSERT_EQ(closed.faces.size(), 1u);
    EXPECT_NEAR(FaceArea(closed.faces[0]), 3.0, 1e-9);
    EXPECT_EQ(closed.joins.size(), 2u);
    EXPECT_TRUE(closed.openEnds.empty());
    EXPECT_EQ(Faces(strip).openEnds.size(), 4u);
}

TEST(FacesCases, DepthIsHowManyBoundariesLieBetweenTheFaceAndOutside) {
    // Three nested squares and a line from outside across the outer and middle squares,
    // ending inside the middle one: the line joins the pieces, the depths stay.
    TJwwEntityStore store = EmptyStore();
    AddSquare(store, 0, 100);
    AddSquare(store, 20, 80);
    AddSquare(store, 40, 60);
    AddLine(store, -10, 50, 30, 50);
    const TFaceBuild build = Faces(store);
    ASSERT_EQ(build.faces.size(), 3u);
    for (const TFaceRegion& face : build.faces) {
        const double area = FaceArea(face);
        const int32_t expected = area > 5000 ? 0 : (area > 1000 ? 1 : 2);
        EXPECT_EQ(face.depth, expected) << area;
        EXPECT_EQ(face.filled, expected != 1) << area;
        if (face.parent >= 0) {
            EXPECT_GT(face.depth, build.faces[face.parent].depth);
        }
    }
    for (const TFaceRegion& face : Faces(store, 0, TIslandMode::OuterOnly).faces) {
        EXPECT_EQ(face.filled, face.depth == 0);
    }

    // Two nested squares cut by one line through both: the ring is cut open, so the
    // inner square is no island any more: four faces side by side, all depth 0.
    TJwwEntityStore crossed = EmptyStore();
    AddSquare(crossed, 0, 100);
    AddSquare(crossed, 30, 70);
    AddLine(crossed, -10, 50, 110, 50);
    const TFaceBuild halves = Faces(crossed);
    ASSERT_EQ(halves.faces.size(), 4u);
    for (const TFaceRegion& face : halves.faces) {
        EXPECT_EQ(face.depth, 0) << FaceArea(face);
    }
}

bool HasSpikeOrRepeat(const TAryRealPoint& ring) {
    const size_t n = ring.size() - 1;  // closed: the last point is the first
    for (size_t i = 0; i < n; ++i) {
        const TRealPoint& a = ring[(i + n - 1) % n];
        const TRealPoint& b = ring[i];
        const TRealPoint& c = ring[(i + 1) % n];
        if (b.X == c.X && b.Y == c.Y) return true;
        const double ux = b.X - a.X, uy = b.Y - a.Y, vx = c.X - b.X, vy = c.Y - b.Y;
        const double cross = ux * vy - uy * vx, dot = ux * vx + uy * vy;
        if (dot < 0 && std::fabs(cross) <= 1e-9 * std::hypot(ux, uy) * std::hypot(vx, vy)) {
            return true;
        }
    }
    return false;
}

TEST(FacesCases, CrossingsWithinUlpsOfOnePointGiveNoEmptyFacesOrSpikes) {
    for (int count : {7, 11}) {
        SCOPED_TRACE(count);
        TJwwEntityStore store = EmptyStore();
        const double cx = 0.3, cy = 0.3;
        AddSquare(store, -9.7, 10.3);
        for (int k = 0; k < count; ++k) {
            const double a = k * kPi / count + 0.1;
            // Each line overshoots the square a little at both ends.
            const double r = 10.5 / std::max(std::fabs(std::cos(a)), std::fabs(std::sin(a)));
            AddLine(store, cx + r * std::cos(a), cy + r * std::sin(a), cx - r * std::cos(a),
                    cy - r * std::sin(a));
        }
        const TFaceBuild build = Faces(store);
        double total = 0;
        for (const TFaceRegion& face : build.faces) {
            EXPECT_GT(FaceArea(face), 1e-6);
            EXPECT_FALSE(HasSpikeOrRepeat(face.outer));
            EXPECT_GE(face.outer.size(), 4u);
            total += FaceArea(face);
        }
        EXPECT_NEAR(total, 400, 1e-6);
        EXPECT_EQ(build.faces.size(), 2u * count);
    }
}

TEST(FacesCases, AJoinEndsOnLineworkOrOnAJoinThatIsMade) {
    // A points at where B's extension would pass, but B's extension stops earlier, at
    // C's: A is not joined to nothing, it stays open where it is drawn.
    TJwwEntityStore store = EmptyStore();
    AddLine(store, -5, 0, 0, 0);          // A, free end at (0, 0) facing +x
    AddLine(store, 0.5, -5, 0.5, -0.5);   // B, free end at (0.5, -0.5) facing +y
    AddLine(store, -5, -0.3, 0.4, -0.3);  // C, free end at (0.4, -0.3) facing +x
    const TFaceBuild build = Faces(store, 1);
    ExpectJoinsEndOnSomething(store, build);
    bool aOpen = false;
    for (const TRealPoint& p : build.openEnds) {
        aOpen = aOpen || (p.X == 0.0 && p.Y == 0.0);
        // Open ends are drawn ends, never points in empty space.
        bool drawn = false;
        for (const TJwwEntLine& l : store.lines) {
            drawn = drawn || (p.X == l.x1 && p.Y == l.y1) || (p.X == l.x2 && p.Y == l.y2);
        }
        EXPECT_TRUE(drawn) << p.X << "," << p.Y;
    }
    EXPECT_TRUE(aOpen);

    // Two corner ends 0.99 apart: each extended 0.70 to where they cross, within 0.71.
    TJwwEntityStore corner = EmptyStore();
    AddLine(corner, -5, 0, 0, 0);
    AddLine(corner, 0.7, 5, 0.7, 0.7);
    AddLine(corner, 0.7, 5, -5, 5);
    AddLine(corner, -5, 5, -5, 0);
    EXPECT_EQ(Faces(corner, 0.71).faces.size(), 1u);
    EXPECT_TRUE(Faces(corner, 0.69).faces.empty());
}

TEST(FacesCases, DenseCrossingsAreRefusedBeforeTheNoding) {
    // 2,500 lines each way at 45 and 135 degrees in a 100 x 100 square: over two
    // million crossings.
    TJwwEntityStore hatch = EmptyStore();
    AddSquare(hatch, 0, 100);
    const int n = 2500;
    for (int i = 1; i <= n; ++i) {
        const double c = 200.0 * i / (n + 1);
        // x + y = c and x - y = c - 100, clipped to the square.
        const double x1 = std::max(0.0, c - 100), x2 = std::min(100.0, c);
        AddLine(hatch, x1, c - x1, x2, c - x2);
        AddLine(hatch, x1, x1 - (c - 100), x2, x2 - (c - 100));
    }
    const TFaceBuild refused = Faces(hatch);
    EXPECT_TRUE(refused.tooManyCrossings);
    EXPECT_GT(refused.crossings, 2'000'000u);
    EXPECT_TRUE(refused.faces.empty());
    EXPECT_FALSE(refused.failed);
    const std::string message = TooManyCrossingsMessage(refused.crossings);
    EXPECT_NE(message.find("選択範囲に交点が多すぎます（約 "), std::string::npos) << message;
    EXPECT_EQ(TooManyCrossingsMessage(2'345'678), TooManyCrossingsMessage(2'349'999));
    EXPECT_NE(TooManyCrossingsMessage(2'345'678).find("2,300,000"), std::string::npos);

    // Under the budget, each poll reports progress, rising to 1.
    TJwwEntityStore small = EmptyStore();
    AddSquare(small, 0, 100);
    for (int i = 1; i < 200; ++i) {
        AddLine(small, i * 0.5, 0, i * 0.5, 100);
        AddLine(small, 0, i * 0.5, 100, i * 0.5);
    }
    std::vector<double> seen;
    const TFaceBuild grid =
        BuildFaces(small, 24, {}, {}, {}, [&](double fraction) { seen.push_back(fraction); });
    EXPECT_EQ(grid.faces.size(), 200u * 200u);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 1.0);

    // A quick tap between two polls still stops the build.
    // The key event sets the flag while the sweep runs (here: at the first progress
    // report); the next poll stops the build.
    std::atomic<bool> tapped{false};
    const TFaceBuild stopped =
        BuildFaces(small, 24, {}, {}, StopFlagPoll(tapped), [&](double) { tapped = true; });
    EXPECT_TRUE(stopped.aborted);
    EXPECT_TRUE(stopped.faces.empty());
}

// A small triangle whose corner lies on the lines around it: the face around walks its
// boundary as a detour through that corner. The triangle is still an island, one level
// deeper, on both ways of noding, and the face around lists it as a hole.
TEST(FacesCases, IslandTouchingItsSurroundingsAtOneCornerIsOneDeeper) {
    TJwwEntityStore store = EmptyStore();
    const double lines[][4] = {{0, 0, 3, 4}, {1, 2, 3, 5}, {2, 3, 3, 4}, {2, 0, 0, 4},
                               {2, 3, 5, 3}, {4, 4, 1, 6}, {5, 3, 4, 4}};
    for (const auto& l : lines) AddLine(store, l[0], l[1], l[2], l[3]);
    for (TFaceNoding noding : {TFaceNoding::Grid, TFaceNoding::LibraryOnly}) {
        const TFaceBuild build = BuildFacesUsing(noding, store, 24, {});
        ASSERT_EQ(build.faces.size(), 2u);
        const TFaceRegion& room = build.faces[0].outer.size() > 4 ? build.faces[0] : build.faces[1];
        const TFaceRegion& island = &room == &build.faces[0] ? build.faces[1] : build.faces[0];
        EXPECT_EQ(room.depth, 0);
        EXPECT_EQ(island.depth, 1);
        EXPECT_EQ(room.holes.size(), 1u);
        EXPECT_EQ(island.outer.size(), 4u);  // the triangle, closed
    }
}

// A small room far from the origin keeps its area: a 4 x 2 triangle at 1e9.
TEST(FacesCases, SmallRoomFarFromTheOriginIsAFace) {
    TJwwEntityStore store = EmptyStore();
    const double o = 1e9;
    AddLine(store, o, o, o + 4, o);
    AddLine(store, o + 4, o, o, o + 2);
    AddLine(store, o, o + 2, o, o);
    const TFaceBuild build = Faces(store);
    ASSERT_EQ(build.faces.size(), 1u);
    EXPECT_EQ(build.faces[0].outer.size(), 4u);
}

#ifndef _WIN32
// The stack's growth needs address space too: GMP keeps its temporaries there, and a
// stack that cannot grow under the cap is a segmentation fault, not an allocation that
// fails. Two megabytes touched now stay mapped for the build.
[[gnu::noinline]] void GrowStackWhileThereIsRoom() {
    volatile char block[2 << 20];
    for (std::size_t i = 0; i < sizeof block; i += 4096) block[i] = 0;
}

// `headroom` more than the process has now (the 180,000 crossings below need about
// twice 150 MB through the geometry library), then the build: 0 when it reports the
// failure.
int BuildUnderMemoryCap(const TJwwEntityStore& store, TFaceNoding noding = TFaceNoding::LibraryOnly,
                        rlim_t headroom = 150u << 20) {
    GrowStackWhileThereIsRoom();
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + headroom;
    // The C library loads the unwinder on its first use; under the cap that load itself
    // can fail and abort, so it is loaded while memory is still there.
    dlopen("libgcc_s.so.1", RTLD_NOW | RTLD_NODELETE);
    const rlimit cap{limit, limit};
    setrlimit(RLIMIT_AS, &cap);
    const TFaceBuild build = BuildFacesUsing(noding, store, 24, {});
    return build.failed ? 0 : 3;
}

// Out of memory inside the exact numbers: the build reports that it failed; the
// program does not abort.
TEST(FacesCasesDeathTest, NoMemoryForTheExactNumbersIsAFailureNotAnAbort) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any cap allows";
#endif
    TJwwEntityStore hatch = EmptyStore();
    AddSquare(hatch, 0, 100);
    for (int i = 1; i <= 600; ++i) {
        const double c = 200.0 * i / 601;
        const double x1 = std::max(0.0, c - 100), x2 = std::min(100.0, c);
        AddLine(hatch, x1, c - x1, x2, c - x2);
        AddLine(hatch, x1, x1 - (c - 100), x2, x2 - (c - 100));
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The geometry library's way (the integer noding needs far less than the cap).
    EXPECT_EXIT(std::_Exit(BuildUnderMemoryCap(hatch)), ::testing::ExitedWithCode(0), "");
    // The integer noding's, with 8 MB to spare where its 180,000 crossings need 30.
    EXPECT_EXIT(std::_Exit(BuildUnderMemoryCap(hatch, TFaceNoding::Grid, 8u << 20)),
                ::testing::ExitedWithCode(0), "");
}

#else
VELDRA_SKIPPED_ON_WINDOWS(FacesCasesDeathTest, NoMemoryForTheExactNumbersIsAFailureNotAnAbort,
                          "address-space limits (setrlimit) and death tests")
#endif

}  // namespace
}  // namespace veldra
