// Faces split at crossings: rooms told apart however the walls are drawn, gaps closed
// only within the tolerance and reported, islands in each mode, picks, and input that
// must give a defined result.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "common/tolerances.h"
#include "regions/faces.h"
#include "regions_test_util.h"

namespace veldra {
namespace {

using test::AddArc;
using test::AddCircle;
using test::AddLine;
using test::EmptyStore;
using test::FaceArea;

double FilledArea(const TFaceBuild& build) {
    double area = 0.0;
    for (const TFaceRegion& face : build.faces) area += face.filled ? FaceArea(face) : 0.0;
    return area;
}

TFaceBuild Faces(const TJwwEntityStore& store, double gap = 0.0,
                 TIslandMode islands = TIslandMode::Normal, std::vector<TRealPoint> picks = {}) {
    TFaceOptions options;
    options.gapTolerance = gap;
    options.islands = islands;
    options.picks = std::move(picks);
    return BuildFaces(store, 24, options);
}

// Four horizontal and four vertical lines 10 apart; `over` extends every line past
// the outer ones at both ends.
TJwwEntityStore CrossingGrid(double over = 0.0) {
    TJwwEntityStore store = EmptyStore();
    for (int i = 0; i < 4; ++i) {
        AddLine(store, -over, i * 10.0, 30.0 + over, i * 10.0);
        AddLine(store, i * 10.0, -over, i * 10.0, 30.0 + over);
    }
    return store;
}

// Every wall of a 3 x 3 block of rooms as its own line, in a shuffled order.
TJwwEntityStore SharedWallRooms(unsigned seed) {
    std::vector<std::array<double, 4>> walls;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            walls.push_back({j * 10.0, i * 10.0, j * 10.0 + 10.0, i * 10.0});
            walls.push_back({i * 10.0, j * 10.0, i * 10.0, j * 10.0 + 10.0});
        }
    }
    std::mt19937 rng(seed);
    std::shuffle(walls.begin(), walls.end(), rng);
    TJwwEntityStore store = EmptyStore();
    for (const auto& w : walls) {
        if (rng() % 2) {
            AddLine(store, w[0], w[1], w[2], w[3]);
        } else {
            AddLine(store, w[2], w[3], w[0], w[1]);
        }
    }
    return store;
}

void ExpectNineRooms(const TFaceBuild& build) {
    ASSERT_EQ(build.faces.size(), 9u);
    for (const TFaceRegion& face : build.faces) {
        EXPECT_NEAR(FaceArea(face), 100.0, 1e-9);
        EXPECT_EQ(face.depth, 0);
        EXPECT_TRUE(face.filled);
        EXPECT_TRUE(face.holes.empty());
        ASSERT_EQ(face.outer.size(), 5u);
        EXPECT_EQ(face.outer.front().X, face.outer.back().X);
        EXPECT_EQ(face.outer.front().Y, face.outer.back().Y);
    }
}

TEST(Faces, RoomsAreToldApartHoweverTheWallsAreDrawn) {
    // Crossing lines: the loop search sees one region, the faces nine rooms.
    TAr2RealPoint loops;
    BuildRegions(CrossingGrid(), 24, loops);
    EXPECT_EQ(loops.size(), 1u);
    const TFaceBuild crossing = Faces(CrossingGrid());
    ExpectNineRooms(crossing);
    EXPECT_TRUE(crossing.openEnds.empty());
    // Bottom row first, left to right; each ring starts at its lowest-left corner.
    EXPECT_EQ(crossing.faces[1].outer[0].X, 10.0);
    EXPECT_EQ(crossing.faces[1].outer[0].Y, 0.0);
    EXPECT_EQ(crossing.faces[3].outer[0].Y, 10.0);

    // One line per wall, in any order: every room a face, the same faces each time.
    const TFaceBuild first = Faces(SharedWallRooms(1));
    ExpectNineRooms(first);
    for (unsigned seed = 2; seed < 6; ++seed) {
        const TFaceBuild again = Faces(SharedWallRooms(seed));
        ASSERT_EQ(again.faces.size(), 9u);
        for (size_t i = 0; i < 9; ++i) {
            EXPECT_EQ(again.faces[i].outer.size(), first.faces[i].outer.size());
            for (size_t k = 0; k < first.faces[i].outer.size(); ++k) {
                EXPECT_EQ(again.faces[i].outer[k].X, first.faces[i].outer[k].X);
                EXPECT_EQ(again.faces[i].outer[k].Y, first.faces[i].outer[k].Y);
            }
        }
    }

    // Walls overshooting the corners: the same rooms, every overshooting end open.
    const TFaceBuild overshoot = Faces(CrossingGrid(5.0));
    ExpectNineRooms(overshoot);
    EXPECT_EQ(overshoot.openEnds.size(), 16u);
}

// A 10 x 10 square whose sides stop `miss` short of every corner.
TJwwEntityStore NearMissSquare(double miss) {
    TJwwEntityStore store = EmptyStore();
    AddLine(store, miss, 0, 10 - miss, 0);
    AddLine(store, 10, miss, 10, 10 - miss);
    AddLine(store, 10 - miss, 10, miss, 10);
    AddLine(store, 0, 10 - miss, 0, miss);
    return store;
}

TEST(Faces, GapsCloseOnlyWithinTheToleranceAndEveryJoinIsReported) {
    const TFaceBuild exact = Faces(NearMissSquare(0.005));
    EXPECT_TRUE(exact.faces.empty());
    EXPECT_EQ(exact.openEnds.size(), 8u);
    EXPECT_TRUE(exact.joins.empty());
    EXPECT_TRUE(Faces(NearMissSquare(0.005), 0.004).faces.empty());

    const TFaceBuild closed = Faces(NearMissSquare(0.005), 0.01);
    ASSERT_EQ(closed.faces.size(), 1u);
    EXPECT_NEAR(FaceArea(closed.faces[0]), 100.0, 1e-6);
    EXPECT_TRUE(closed.openEnds.empty());
    ASSERT_EQ(closed.joins.size(), 8u);
    for (const TFaceJoin& join : closed.joins) {
        // Each end reaches its corner.
        EXPECT_NEAR(std::hypot(join.to.X - join.from.X, join.to.Y - join.from.Y), 0.005, 1e-9);
        EXPECT_NEAR(std::fmod(join.to.X + 1e-9, 10.0), 0.0, 1e-6);
    }

    // A T-gap: the dividing wall stops short of the bottom.
    TJwwEntityStore t = EmptyStore();
    AddLine(t, 0, 0, 20, 0);
    AddLine(t, 20, 0, 20, 10);
    AddLine(t, 20, 10, 0, 10);
    AddLine(t, 0, 10, 0, 0);
    AddLine(t, 10, 10, 10, 0.005);
    const TFaceBuild open = Faces(t);
    ASSERT_EQ(open.faces.size(), 1u);
    EXPECT_NEAR(FaceArea(open.faces[0]), 200.0, 1e-9);
    ASSERT_EQ(open.openEnds.size(), 1u);
    EXPECT_EQ(open.openEnds[0].Y, 0.005);
    const TFaceBuild joined = Faces(t, 0.01);
    ASSERT_EQ(joined.faces.size(), 2u);
    EXPECT_TRUE(joined.openEnds.empty());
    ASSERT_EQ(joined.joins.size(), 1u);
    EXPECT_NEAR(joined.joins[0].to.Y, 0.0, 1e-12);

    // Two ends side by side, neither pointing at the other: joined as ends.
    TJwwEntityStore jog = EmptyStore();
    AddLine(jog, 0, 0, 5, 0);
    AddLine(jog, 5, 0.004, 10, 0.004);
    AddLine(jog, 10, 0.004, 10, 10);
    AddLine(jog, 10, 10, 0, 10);
    AddLine(jog, 0, 10, 0, 0);
    EXPECT_TRUE(Faces(jog).faces.empty());
    const TFaceBuild paired = Faces(jog, 0.01);
    EXPECT_EQ(paired.faces.size(), 1u);
    EXPECT_EQ(paired.joins.size(), 1u);
    EXPECT_TRUE(paired.openEnds.empty());
}

TJwwEntityStore NestedSquaresWithCircle() {
    TJwwEntityStore store = EmptyStore();
    for (double lo : {0.0, 10.0}) {
        const double hi = 30.0 - lo;
        AddLine(store, lo, lo, hi, lo);
        AddLine(store, hi, lo, hi, hi);
        AddLine(store, hi, hi, lo, hi);
        AddLine(store, lo, hi, lo, lo);
    }
    AddCircle(store, 15, 15, 3);
    return store;
}

TEST(Faces, IslandsAreFilledAsTheModeSays) {
    const TFaceBuild normal = Faces(NestedSquaresWithCircle());
    ASSERT_EQ(normal.faces.size(), 3u);
    const double disc = FaceArea(normal.faces[2]);
    EXPECT_NEAR(disc, 9 * 24 * std::sin(2 * kPi / 24) / 2, 1e-9);
    std::vector<int32_t> depths;
    for (const TFaceRegion& f : normal.faces) depths.push_back(f.depth);
    EXPECT_EQ(depths, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(normal.faces[0].holes.size(), 1u);
    EXPECT_EQ(normal.faces[0].parent, -1);
    EXPECT_EQ(normal.faces[2].parent, 1);
    // "通常" paints what the even-odd fill of the loops paints.
    EXPECT_NEAR(FilledArea(normal), 800 + disc, 1e-9);
    EXPECT_NEAR(FilledArea(Faces(NestedSquaresWithCircle(), 0, TIslandMode::OuterOnly)), 800, 1e-9);
    EXPECT_NEAR(FilledArea(Faces(NestedSquaresWithCircle(), 0, TIslandMode::Ignore)), 900, 1e-9);

    // The filled rings, filled together even-odd, are the filled faces.
    const TAr2RealPoint rings = FilledFacePolygons(normal.faces);
    EXPECT_EQ(rings.size(), 3u);  // outer ring, its hole, the disc
}

TEST(Faces, LinesAcrossCirclesArcsDuplicatesAndOverlaps) {
    TJwwEntityStore across = EmptyStore();
    AddCircle(across, 0, 0, 10);
    AddLine(across, -20, 0, 20, 0);
    const TFaceBuild halves = Faces(across);
    ASSERT_EQ(halves.faces.size(), 2u);
    EXPECT_NEAR(FaceArea(halves.faces[0]), FaceArea(halves.faces[1]), 1e-9);
    EXPECT_EQ(halves.openEnds.size(), 2u);

    // A half-circle arc closed by its chord, the chord drawn twice and overlapped.
    TJwwEntityStore arc = EmptyStore();
    AddArc(arc, 0, 0, 10, 0, 180);
    AddLine(arc, -10, 0, 10, 0);
    AddLine(arc, 10, 0, -10, 0);
    AddLine(arc, -5, 0, 5, 0);
    const TFaceBuild half = Faces(arc);
    ASSERT_EQ(half.faces.size(), 1u);
    EXPECT_NEAR(FaceArea(half.faces[0]), 100 * 24 * std::sin(kPi / 24) / 2, 1e-9);
    EXPECT_TRUE(half.openEnds.empty());

    // A square drawn twice, one side also drawn as two overlapping pieces.
    TJwwEntityStore twice = EmptyStore();
    for (int k = 0; k < 2; ++k) {
        AddLine(twice, 0, 0, 10, 0);
        AddLine(twice, 10, 0, 10, 10);
        AddLine(twice, 10, 10, 0, 10);
        AddLine(twice, 0, 10, 0, 0);
    }
    AddLine(twice, 2, 0, 7, 0);
    AddLine(twice, 6, 0, 12, 0);
    const TFaceBuild one = Faces(twice);
    ASSERT_EQ(one.faces.size(), 1u);
    EXPECT_NEAR(FaceArea(one.faces[0]), 100, 1e-9);
    EXPECT_EQ(one.openEnds.size(), 1u);  // the piece sticking out at x = 12
}

TEST(Faces, WallsAlongOneGridLineJoinOnlyWhereTheyMeet) {
    // Walls overshooting each other along every grid line, in both directions, and a
    // wall drawn in two touching pieces: still the nine rooms, each with its 4 corners
    // only (the joint inside a wall, where nothing else meets, is no corner).
    TJwwEntityStore walls = EmptyStore();
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            AddLine(walls, j * 10.0 - 2, i * 10.0, j * 10.0 + 12, i * 10.0);
            AddLine(walls, i * 10.0, j * 10.0 + 12, i * 10.0, j * 10.0 - 2);
        }
    }
    AddLine(walls, 0, 5, 0, 7);
    AddLine(walls, 0, 7, 0, 8);
    ExpectNineRooms(Faces(walls));

    // Pieces on one line with a gap between, or on lines a hair apart, never join.
    TJwwEntityStore gap = NearMissSquare(0.0);
    gap.lines.erase(gap.lines.begin());
    AddLine(gap, 0, 0, 4.999, 0);
    AddLine(gap, 5, 0, 10, 0);
    EXPECT_TRUE(Faces(gap).faces.empty());
    EXPECT_EQ(Faces(gap).openEnds.size(), 2u);
    TJwwEntityStore apart = EmptyStore();
    AddLine(apart, 0, 0, 6, 0);
    AddLine(apart, 4, 1e-7, 10, 1e-7);
    AddLine(apart, 10, 1e-7, 10, 10);
    AddLine(apart, 10, 10, 0, 10);
    AddLine(apart, 0, 10, 0, 0);
    EXPECT_TRUE(Faces(apart).faces.empty());
    EXPECT_EQ(Faces(apart).openEnds.size(), 2u);
}

TEST(Faces, PicksFillOnlyThePickedRoomsAndTheirIslands) {
    const TFaceBuild one = Faces(CrossingGrid(), 0, TIslandMode::Normal, {{15, 15}});
    ASSERT_EQ(one.faces.size(), 9u);
    for (size_t i = 0; i < 9; ++i) EXPECT_EQ(one.faces[i].filled, i == 4) << i;
    // Picking the same room twice fills it once (the window takes a pick back itself).
    const TFaceBuild twice = Faces(CrossingGrid(), 0, TIslandMode::Normal, {{15, 15}, {12, 18}});
    EXPECT_NEAR(FilledArea(twice), 100, 1e-9);
    // A pick outside every face fills nothing, and says so.
    const TFaceBuild outside = Faces(CrossingGrid(), 0, TIslandMode::Normal, {{50, 50}});
    EXPECT_NEAR(FilledArea(outside), 0, 1e-9);
    EXPECT_TRUE(outside.noPickHit);

    // Picking the outer ring fills it and, in "通常", the disc two levels in.
    std::vector<TFaceRegion> nested = Faces(NestedSquaresWithCircle()).faces;
    MarkFilledFaces(nested, TIslandMode::Normal, {{5, 5}});
    EXPECT_TRUE(nested[0].filled && !nested[1].filled && nested[2].filled);
    MarkFilledFaces(nested, TIslandMode::OuterOnly, {{5, 5}});
    EXPECT_TRUE(nested[0].filled && !nested[1].filled && !nested[2].filled);
    MarkFilledFaces(nested, TIslandMode::Normal, {{12, 12}});
    EXPECT_TRUE(!nested[0].filled && nested[1].filled && !nested[2].filled);
    EXPECT_EQ(FaceAt(nested, {15, 15}), 2);
    EXPECT_EQ(FaceAt(nested, {40, 40}), -1);
}

TEST(Faces, BadInputGivesADefinedResult) {
    TJwwEntityStore store = NearMissSquare(0.0);
    AddLine(store, 1, 1, 1, 1);  // zero length
    AddLine(store, NAN, 0, 5, 5);
    AddLine(store, 0, INFINITY, 5, 5);
    AddLine(store, 1e300, 0, -1e300, 1);
    AddCircle(store, 5, 5, NAN);
    const TFaceBuild build = Faces(store);
    EXPECT_EQ(build.faces.size(), 1u);
    EXPECT_EQ(build.skippedEntities, 4u);
    EXPECT_FALSE(build.failed);

    // Tolerances that are no length count as none; one beyond the drawing acts as
    // the drawing's size.
    for (double gap : {-1.0, double(NAN), double(INFINITY)}) {
        EXPECT_TRUE(Faces(NearMissSquare(0.005), gap).faces.empty()) << gap;
    }
    EXPECT_EQ(Faces(NearMissSquare(0.005), 1e9).faces.size(), 1u);

    // A thousand lines through one point, cut by a circle.
    TJwwEntityStore star = EmptyStore();
    AddCircle(star, 0, 0, 10);
    for (int i = 0; i < 1000; ++i) {
        const double a = i * kPi / 1000;
        AddLine(star, -20 * std::cos(a), -20 * std::sin(a), 20 * std::cos(a), 20 * std::sin(a));
    }
    const TFaceBuild sectors = Faces(star);
    EXPECT_EQ(sectors.faces.size(), 2000u);
    EXPECT_EQ(sectors.openEnds.size(), 2000u);

    // A poll that says stop: no faces, and said so.
    TFaceOptions options;
    const TFaceBuild stopped = BuildFaces(CrossingGrid(), 24, options, {}, [] { return true; });
    EXPECT_TRUE(stopped.aborted);
    EXPECT_TRUE(stopped.faces.empty());
}

TEST(Faces, TheNodingSweepAsksThePollAsItGoes) {
    // A comb: one piece of linework without faces, so nearly all the work is the
    // sweep over its 80,000 ends.
    TJwwEntityStore comb = EmptyStore();
    AddLine(comb, 0, 0, 40000, 0);
    for (int i = 0; i < 40000; ++i) AddLine(comb, i + 0.5, 0, i + 0.5 - 0.25, 1);
    int asked = 0;
    const TFaceBuild whole = BuildFaces(comb, 24, {}, {}, [&] { return ++asked < 0; });
    EXPECT_FALSE(whole.aborted);
    EXPECT_EQ(whole.openEnds.size(), 40002u);
    EXPECT_GE(asked, 10);

    // Told to stop at the third question, which the sweep asks: stopped there.
    asked = 0;
    const TFaceBuild stopped = BuildFaces(comb, 24, {}, {}, [&] { return ++asked >= 3; });
    EXPECT_TRUE(stopped.aborted);
    EXPECT_TRUE(stopped.faces.empty() && stopped.openEnds.empty());
    EXPECT_EQ(asked, 3);
}

TEST(Faces, ChainModeOpenEndsAreEndsWithoutContinuation) {
    TJwwEntityStore store = NearMissSquare(0.0);
    AddLine(store, 10, 10, 15, 15);  // hangs off a corner
    AddLine(store, 20, 20, 20, 20 + 1e-9);
    AddLine(store, NAN, 1, 2, INFINITY);  // no place to mark
    const std::vector<TRealPoint> open = ChainOpenEnds(store);
    ASSERT_EQ(open.size(), 3u);
    EXPECT_EQ(open[0].X, 15.0);
}

}  // namespace
}  // namespace veldra
