// veldra-cli regions --json against the region build in-process: the same polygons in
// the same order, every coordinate read back to the same bits.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "exchange/entity_store.h"
#include "exchange/exchange_reader.h"
#include "regions/faces.h"
#include "regions/regions.h"

namespace veldra {
namespace {

std::string RunCli(const std::string& arguments, int& status) {
    std::string command = std::string(VELDRA_BIN_DIR) + "/veldra-cli regions " + arguments;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        out.append(buffer, n);
    status = pclose(pipe.release());
    return out;
}

bool SameBits(double a, double b) {
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

TEST(RegionsCommand, JsonHoldsTheBuildsPolygonsBitForBit) {
    const std::string data = std::string(VELDRA_SOURCE_DIR) + "/tests/regions/data/";
    for (const char* name : {"circle_in_square.txt", "chord_and_arc.txt", "group_scales.txt",
                             "whole_arcs.txt", "near_joints.txt"}) {
        SCOPED_TRACE(name);
        int status = -1;
        std::string out = RunCli("--json --divisions 7 " + data + name, status);
        ASSERT_EQ(status, 0);
        nlohmann::json doc = nlohmann::json::parse(out);

        TJwwEntityStore store;
        InitStore(store);
        ASSERT_TRUE(ReadExchangeFile(store, data + name));
        ResetCurrentAttributes(store);
        TAr2RealPoint regions;
        BuildRegions(store, 7, regions);

        const nlohmann::json& polygons = doc.at("polygons");
        ASSERT_EQ(polygons.size(), regions.size());
        for (size_t i = 0; i < regions.size(); ++i) {
            ASSERT_EQ(polygons[i].size(), regions[i].size());
            for (size_t p = 0; p < regions[i].size(); ++p) {
                EXPECT_TRUE(SameBits(polygons[i][p][0].get<double>(), regions[i][p].X));
                EXPECT_TRUE(SameBits(polygons[i][p][1].get<double>(), regions[i][p].Y));
            }
        }
    }
}

TJwwEntityStore ReadCase(const std::string& file) {
    TJwwEntityStore store;
    InitStore(store);
    EXPECT_TRUE(ReadExchangeFile(store, file));
    ResetCurrentAttributes(store);
    return store;
}

void ExpectSamePoints(const nlohmann::json& points, const TAryRealPoint& expected) {
    ASSERT_EQ(points.size(), expected.size());
    for (size_t p = 0; p < expected.size(); ++p) {
        EXPECT_TRUE(SameBits(points[p][0].get<double>(), expected[p].X));
        EXPECT_TRUE(SameBits(points[p][1].get<double>(), expected[p].Y));
    }
}

TEST(RegionsCommand, FacesJsonHoldsTheFaceBuildBitForBit) {
    const std::string file =
        std::string(VELDRA_SOURCE_DIR) + "/tests/regions/data/crossing_grid.txt";
    int status = -1;
    const std::string out = RunCli(
        "--mode faces --gap 0.01 --islands outer --pick 15,15 --pick=46,16 --json " + file, status);
    ASSERT_EQ(status, 0);
    const nlohmann::json doc = nlohmann::json::parse(out);

    TFaceOptions options;
    options.gapTolerance = 0.01;
    options.islands = TIslandMode::OuterOnly;
    options.picks = {{15, 15}, {46, 16}};
    const TFaceBuild build = BuildFaces(ReadCase(file), 24, options);
    ASSERT_EQ(build.faces.size(), 11u);  // nine rooms and the two halves of the circle
    ASSERT_EQ(doc.at("faces").size(), build.faces.size());
    size_t filled = 0;
    for (size_t i = 0; i < build.faces.size(); ++i) {
        const nlohmann::json& face = doc["faces"][i];
        ExpectSamePoints(face.at("outer"), build.faces[i].outer);
        ASSERT_EQ(face.at("holes").size(), build.faces[i].holes.size());
        EXPECT_EQ(face.at("depth").get<int>(), build.faces[i].depth);
        EXPECT_EQ(face.at("filled").get<bool>(), build.faces[i].filled);
        filled += build.faces[i].filled;
    }
    EXPECT_EQ(filled, 2u);
    // The stub in room 1, both ends of the line across the circle and the far end of
    // the line that nearly meets the grid stay open; its near end is joined.
    ExpectSamePoints(doc.at("openEnds"), build.openEnds);
    EXPECT_EQ(build.openEnds.size(), 4u);
    ASSERT_EQ(doc.at("joins").size(), 1u);
    ASSERT_EQ(build.joins.size(), 1u);
    EXPECT_TRUE(SameBits(doc["joins"][0][1][0].get<double>(), build.joins[0].to.X));
    EXPECT_EQ(build.joins[0].to.X, 30.0);

    // Chain mode keeps its polygons and adds the open ends.
    const nlohmann::json chain = nlohmann::json::parse(RunCli("--json " + file, status));
    ASSERT_EQ(status, 0);
    EXPECT_EQ(chain.at("polygons").size(), 2u);
    ExpectSamePoints(chain.at("openEnds"), ChainOpenEnds(ReadCase(file)));
}

// The document as a tree would dump it (how it was written before it was streamed).
nlohmann::ordered_json PointsTree(const TAryRealPoint& points) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const TRealPoint& p : points) list.push_back({p.X, p.Y});
    return list;
}

// The streamed JSON has the bytes of the tree's compact dump, for the loops and the
// faces, with joins, holes and coordinates of every size.
TEST(RegionsCommand, StreamedJsonIsTheTreesDumpByteForByte) {
    using Json = nlohmann::ordered_json;
    const std::string data = std::string(VELDRA_SOURCE_DIR) + "/tests/regions/data/";
    for (const char* name :
         {"circle_in_square.txt", "nested_squares.txt", "crossing_grid.txt",
          "dangling_at_every_corner.txt", "extreme_coordinates.txt", "two_lines.txt"}) {
        SCOPED_TRACE(name);
        const TJwwEntityStore store = ReadCase(data + name);
        int status = -1;
        TAr2RealPoint regions;
        BuildRegions(store, 7, regions);
        Json polygons = Json::array();
        for (const TAryRealPoint& polygon : regions) polygons.push_back(PointsTree(polygon));
        const Json chain = {{"polygons", std::move(polygons)},
                            {"openEnds", PointsTree(ChainOpenEnds(store))}};
        EXPECT_EQ(RunCli("--json --divisions 7 " + data + name, status), chain.dump() + "\n");
        EXPECT_EQ(status, 0);

        TFaceOptions options;
        options.gapTolerance = 2.0;
        const TFaceBuild build = BuildFaces(store, 7, options);
        Json faces = Json::array();
        for (const TFaceRegion& face : build.faces) {
            Json holes = Json::array();
            for (const TAryRealPoint& hole : face.holes) holes.push_back(PointsTree(hole));
            faces.push_back({{"outer", PointsTree(face.outer)},
                             {"holes", std::move(holes)},
                             {"depth", face.depth},
                             {"filled", face.filled}});
        }
        Json joins = Json::array();
        for (const TFaceJoin& j : build.joins)
            joins.push_back({{j.from.X, j.from.Y}, {j.to.X, j.to.Y}});
        const Json expected = {{"faces", std::move(faces)},
                               {"openEnds", PointsTree(build.openEnds)},
                               {"joins", std::move(joins)}};
        EXPECT_EQ(RunCli("--json --divisions 7 --mode faces --gap 2 " + data + name, status),
                  expected.dump() + "\n");
        EXPECT_EQ(status, 0);
    }
}

}  // namespace
}  // namespace veldra
