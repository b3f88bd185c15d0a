#include "exchange/entity_store.h"

#include <gtest/gtest.h>

namespace veldra {
namespace {

TEST(EntityStore, InitialStateMatchesTheFormat) {
    TJwwEntityStore store;
    InitStore(store);
    const auto& s = store.state;
    EXPECT_EQ(store.EntityCount(), 0u);
    EXPECT_EQ(s.groupScale[15], 1.0);
    EXPECT_EQ(s.charKinds[1].width, 3.0);
    EXPECT_EQ(s.charKinds[10].color, 2);
    EXPECT_EQ(s.layerNames.size(), 256u);
    EXPECT_EQ(s.refPoints.size(), 100u);
    EXPECT_EQ(s.curColor, 1);
    EXPECT_EQ(s.curFontName, kDefaultFontName);
    EXPECT_EQ(s.pendingDimLine.head.color, 1);
    EXPECT_EQ(s.pendingDimLine.x2, 1.0);
}

TEST(EntityStore, AppendStampsHeaderAndKeepsOrderPastManyEntities) {
    TJwwEntityStore store;
    InitStore(store);
    store.state.curLayerGroup = 3;
    store.state.curZFlags = kZFlagHidden;
    for (int i = 0; i < 2500; ++i) {
        auto& line = AppendEntity(store, store.lines, EntityKind::Line);
        line.x1 = i;
    }
    AppendEntity(store, store.circles, EntityKind::Circle).radius = 5;
    ASSERT_EQ(store.CountOf(EntityKind::Line), 2500u);
    EXPECT_EQ(store.lines[1000].x1, 1000);
    EXPECT_EQ(store.lines[1000].head.layerGroup, 3);
    EXPECT_EQ(store.lines[1000].head.zFlags, kZFlagHidden);
    ASSERT_EQ(store.EntityCount(), 2501u);
    EXPECT_EQ(store.creationOrder.back().kind, EntityKind::Circle);
    EXPECT_EQ(store.creationOrder.back().index, 0);
}

TEST(EntityStore, ResetKeepsEntitiesAndModes) {
    TJwwEntityStore store;
    InitStore(store);
    auto& s = store.state;
    s.curColor = 5;
    s.curHhp = 7;
    s.polylineMode = true;
    s.firstLc = false;
    AppendEntity(store, store.points, EntityKind::Point);
    ResetCurrentAttributes(store);
    EXPECT_EQ(s.curColor, 1);
    EXPECT_EQ(s.curHhp, 7);
    EXPECT_TRUE(s.polylineMode);
    EXPECT_TRUE(s.firstLc);
    EXPECT_EQ(store.EntityCount(), 1u);
}

TEST(EntityStore, DivisorGuardsZeroScaleAndHonoursBz) {
    TJwwEntityStore store;
    InitStore(store);
    store.state.groupScale[2] = 50;
    store.state.groupScale[3] = 0;
    EXPECT_EQ(EntityDivisor(store.state, 2), 50);
    EXPECT_EQ(EntityDivisor(store.state, 3), 1.0);
    EXPECT_EQ(EntityDivisor(store.state, 99), 1.0);
    store.state.bzFlag = true;
    EXPECT_EQ(EntityDivisor(store.state, 2), 1.0);
}

TEST(EntityStore, Str255CutsLongValues) {
    EXPECT_EQ(Str255(std::string(300, 'a')).size(), 255u);
    EXPECT_EQ(Str255("abc"), "abc");
}

}  // namespace
}  // namespace veldra
