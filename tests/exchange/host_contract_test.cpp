#include "exchange/host_contract.h"

#include <gtest/gtest.h>

#include "exchange/exchange_writer.h"
#include "tests/exchange/host_stand_in.h"

namespace veldra {
namespace {

using test::THostStandIn;
using test::TTempFolder;

TEST(HostContract, SelectionInPictureOut) {
    TTempFolder folder;
    THostStandIn host(folder.path());
    auto lines = THostStandIn::HeaderLines(false);
    for (const char* l : {"-100 -100 100 -100", "100 -100 100 100", "100 100 -100 100",
                          "-100 100 -100 -100", "ci 0 0 50"})
        lines.emplace_back(l);
    host.WriteSelection(lines);
    // A file of that name in any other place is not the one the program reads.
    TTempFolder elsewhere;
    THostStandIn(elsewhere.path()).WriteSelection({"ci 0 0 1", "ci 0 0 2"});

    TJwwEntityStore store;
    ASSERT_TRUE(LoadHostSelection(store, folder.path()));
    ASSERT_EQ(store.lines.size(), 4u);
    ASSERT_EQ(store.circles.size(), 1u);
    EXPECT_EQ(store.circles[0].head.layerGroup, 2);
    EXPECT_EQ(EntityDivisor(store.state, 2), 50.0);
    // After reading, the current layer is the file's first one; attributes are reset.
    EXPECT_EQ(store.state.curLayerGroup, 2);
    EXPECT_EQ(store.state.curLayer, 3);
    EXPECT_EQ(store.state.curColor, 1);
    EXPECT_TRUE(store.outputLines.empty());

    const std::string picture = "C:\\jww\\\x95\x5C\\fill.bmp";  // 表: a trail byte 0x5C
    AddTextCommand(store, 0, PictureText(picture, 120), -2, -2.5, 1, 0);
    ASSERT_TRUE(HandBackToHost(store, folder.path()));
    test::THandBack back = host.ReadBack();
    ASSERT_TRUE(back.present);
    EXPECT_TRUE(back.everyLineEnded);
    EXPECT_FALSE(back.unchanged);
    ASSERT_EQ(back.pictures.size(), 1u);
    EXPECT_EQ(back.pictures[0].file, picture);
    EXPECT_EQ(back.pictures[0].x, -2.0);
    EXPECT_EQ(back.pictures[0].y, -2.5);
    EXPECT_EQ(back.pictures[0].width, 120.0);
}

TEST(HostContract, BzIsHandedBackFirstAndCancelChangesNothing) {
    TTempFolder folder;
    THostStandIn host(folder.path());
    host.WriteSelection(THostStandIn::HeaderLines(true));
    TJwwEntityStore store;
    ASSERT_TRUE(LoadHostSelection(store, folder.path()));
    ASSERT_TRUE(HandBackToHost(store, folder.path()));
    EXPECT_EQ(host.ReadBack().lines, std::vector<std::string>{"bz"});

    host.WriteSelection(THostStandIn::HeaderLines(false));
    ASSERT_TRUE(LoadHostSelection(store, folder.path()));
    ASSERT_TRUE(HandBackToHost(store, folder.path()));
    EXPECT_TRUE(host.ReadBack().unchanged);
}

TEST(HostContract, StartedWithoutTheHost) {
    TTempFolder folder;
    TJwwEntityStore store;
    EXPECT_FALSE(LoadHostSelection(store, folder.path()));
    EXPECT_EQ(store.EntityCount(), 0u);
    ASSERT_TRUE(HandBackToHost(store, folder.path()));
    EXPECT_TRUE(THostStandIn(folder.path()).ReadBack().unchanged);
    EXPECT_EQ(ExchangeFilePath("/p"), std::filesystem::path("/p") / "JWC_TEMP.TXT");
}

}  // namespace
}  // namespace veldra
