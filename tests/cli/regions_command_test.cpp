// veldra-cli regions --json against the region build in-process: the same polygons in
// the same order, every coordinate read back to the same bits.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "exchange/entity_store.h"
#include "exchange/exchange_reader.h"
#include "fill/regions.h"

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
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(RegionsCommand, JsonHoldsTheBuildsPolygonsBitForBit) {
    const std::string data = std::string(VELDRA_SOURCE_DIR) + "/tests/fill/data/regions/";
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

}  // namespace
}  // namespace veldra
