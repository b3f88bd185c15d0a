// Records collected during a read and handed to the store once: lists sized exactly,
// the creation order pointing at the right records, records that never move while
// they are collected, and stores that already hold records.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/entity_staging.h"
#include "exchange/exchange_reader.h"

namespace veldra {
namespace {

TEST(EntityStaging, AReadLeavesListsSizedExactlyAndTheOrderPointingAtEachRecord) {
    // Just past a doubling step of every list, where growth would leave the most room.
    std::string text = "hq\r\n";
    for (int i = 0; i < 1025; ++i) {
        text += std::to_string(i) + " 0 1 1\r\n";
        if (i % 3 == 0) text += "ci " + std::to_string(i) + " 0 5\r\n";
        if (i % 7 == 0)
            text += "ch " + std::to_string(i) + " 0 1 0 \"t" + std::to_string(i) + "\r\n";
    }
    TJwwEntityStore store;
    InitStore(store);
    ASSERT_TRUE(ReadExchangeBytes(store, text));
    ASSERT_EQ(store.lines.size(), 1025u);
    ASSERT_EQ(store.circles.size(), 342u);
    ASSERT_EQ(store.texts.size(), 147u);
    EXPECT_EQ(store.lines.capacity(), store.lines.size());
    EXPECT_EQ(store.circles.capacity(), store.circles.size());
    EXPECT_EQ(store.texts.capacity(), store.texts.size());
    EXPECT_EQ(store.creationOrder.capacity(), store.creationOrder.size());
    ASSERT_EQ(store.EntityCount(), 1025u + 342u + 147u);
    // The file's order: a line, then its circle and text, each carrying the line's number.
    double expected = -1;
    for (const TJwwEntityRef& ref : store.creationOrder) {
        const auto at = static_cast<size_t>(ref.index);
        if (ref.kind == EntityKind::Line) {
            ASSERT_EQ(store.lines.at(at).x1, expected + 1);
            expected = store.lines[at].x1;
        } else if (ref.kind == EntityKind::Circle) {
            ASSERT_EQ(store.circles.at(at).cx, expected);
        } else {
            ASSERT_EQ(ref.kind, EntityKind::Text);
            ASSERT_EQ(store.texts.at(at).x, expected);
            ASSERT_EQ(store.texts[at].text,
                      std::string("t").append(std::to_string(static_cast<int>(expected))));
        }
    }
}

TEST(EntityStaging, RecordsReadIntoAFilledStoreFollowThoseAlreadyThere) {
    TJwwEntityStore store;
    InitStore(store);
    ASSERT_EQ(ParseExchangeLine(store, "1 2 3 4"), TLineOutcome::Taken);
    ASSERT_EQ(ParseExchangeLine(store, "ci 5 6 7"), TLineOutcome::Taken);
    ASSERT_TRUE(ReadExchangeBytes(store, "ci 8 9 10\n11 12 13 14\nci 15 16 17\n"));
    ASSERT_EQ(store.lines.size(), 2u);
    ASSERT_EQ(store.circles.size(), 3u);
    const std::vector<std::pair<EntityKind, int32_t>> order = {{EntityKind::Line, 0},
                                                               {EntityKind::Circle, 0},
                                                               {EntityKind::Circle, 1},
                                                               {EntityKind::Line, 1},
                                                               {EntityKind::Circle, 2}};
    ASSERT_EQ(store.creationOrder.size(), order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(store.creationOrder[i].kind, order[i].first) << i;
        EXPECT_EQ(store.creationOrder[i].index, order[i].second) << i;
    }
    EXPECT_EQ(store.lines[1].x1, 11.0);
    EXPECT_EQ(store.circles[2].cx, 15.0);
    // One line at a time the lists grow as usual rather than by one record per line.
    for (int i = 0; i < 2000; ++i) ParseExchangeLine(store, "1 2 3 4");
    EXPECT_LT(store.lines.capacity(), 2 * 4096u);
}

TEST(EntityStaging, CollectedRecordsStayInPlaceAndMoveOutInOrder) {
    TChunkedRecords<TJwwEntPoint> points;
    std::vector<const TJwwEntPoint*> addresses;
    for (int i = 0; i < 5000; ++i) {
        TJwwEntPoint& p = points.Append();
        EXPECT_EQ(p.x, 0.0);  // zero-filled
        p.x = i;
        addresses.push_back(&p);
    }
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(addresses[static_cast<size_t>(i)]->x, i);
    std::vector<TJwwEntPoint> list(3);
    points.MoveTo(list);
    EXPECT_EQ(points.size(), 0u);
    ASSERT_EQ(list.size(), 5003u);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(list[static_cast<size_t>(i) + 3].x, i);
}

}  // namespace
}  // namespace veldra
