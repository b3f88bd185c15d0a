// Region regression cases: small exchange files with the expected polygons and their
// point counts, listed in data/cases.txt. Each file is read the way the window
// reads it at start-up; both loop searches must give the expected counts.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/entity_store.h"
#include "exchange/exchange_reader.h"
#include "regions/regions.h"
#include "regions/regions_reference.h"

namespace veldra {
namespace {

const std::string kCaseDir = std::string(VELDRA_SOURCE_DIR) + "/tests/regions/data/";

struct RegionCase {
    std::string file;
    int32_t divisions = 24;
    size_t polygons = 0;
    std::vector<size_t> points;
};

std::vector<RegionCase> LoadCases() {
    std::vector<RegionCase> cases;
    std::ifstream in(kCaseDir + "cases.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        RegionCase c;
        std::string points;
        fields >> c.file >> c.divisions >> c.polygons >> points;
        std::istringstream list(points);
        for (std::string n; std::getline(list, n, ',');) {
            if (n != "-") c.points.push_back(std::stoul(n));
        }
        cases.push_back(c);
    }
    return cases;
}

std::vector<size_t> PointCounts(const TAr2RealPoint& regions) {
    std::vector<size_t> counts;
    for (const TAryRealPoint& polygon : regions) counts.push_back(polygon.size());
    return counts;
}

TEST(RegionCases, EveryCaseGivesItsPolygonsAndPoints) {
    std::vector<RegionCase> cases = LoadCases();
    ASSERT_GE(cases.size(), 15u) << "cases.txt missing or short";
    for (const RegionCase& c : cases) {
        SCOPED_TRACE(c.file + " with " + std::to_string(c.divisions) + " divisions");
        TJwwEntityStore store;
        InitStore(store);
        ASSERT_TRUE(ReadExchangeFile(store, kCaseDir + c.file));
        ResetCurrentAttributes(store);
        TAr2RealPoint regions, reference;
        BuildRegions(store, c.divisions, regions);
        BuildRegionsReference(store, c.divisions, reference);
        EXPECT_EQ(regions.size(), c.polygons);
        EXPECT_EQ(PointCounts(regions), c.points);
        EXPECT_EQ(PointCounts(reference), c.points);
        for (const TAryRealPoint& polygon : regions) {
            ASSERT_GE(polygon.size(), 4u);
            EXPECT_TRUE(SamePoint(polygon.front(), polygon.back()));
        }
    }
}

TEST(RegionCases, LayerGroupScalesDivideAndBzDoesNot) {
    TJwwEntityStore store;
    InitStore(store);
    ASSERT_TRUE(ReadExchangeFile(store, kCaseDir + "group_scales.txt"));
    TAr2RealPoint regions;
    BuildRegions(store, 24, regions);
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[0][1].X, 10.0);  // 1000 in a group of scale 100
    EXPECT_EQ(regions[0][2].Y, 10.0);  // 500 in a group of scale 50

    InitStore(store);
    ASSERT_TRUE(ReadExchangeFile(store, kCaseDir + "bz_keeps_coordinates.txt"));
    BuildRegions(store, 24, regions);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0][1].X, 10.0);
}

}  // namespace
}  // namespace veldra
