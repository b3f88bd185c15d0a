#include "cli/store_json.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>

#include "common/code_page_932.h"
#include "exchange/exchange_reader.h"

namespace veldra::cli {
namespace {

std::string ReadSample() {
    std::ifstream in(VELDRA_SOURCE_DIR "/samples/all_kinds.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(StoreJson, ShiftJisBecomesUtf8AndBrokenBytesBecomeReplacements) {
    EXPECT_EQ(Utf8FromCodePage932("C:\\\x95\x5C\\a"), "C:\\\xE8\xA1\xA8\\a");  // 表 keeps its 0x5C
    EXPECT_EQ(Utf8FromCodePage932("\x87\x40"), "\xE2\x91\xA0");  // ① (NEC extension)
    EXPECT_EQ(Utf8FromCodePage932("a\x82"), "a\xEF\xBF\xBD");    // lead byte cut off at the end
    EXPECT_EQ(Utf8FromCodePage932("a\xFF"
                                  "z\x82\x20"),
              "a\xEF\xBF\xBDz\xEF\xBF\xBD ");
    EXPECT_EQ(Utf8FromCodePage932("\xB1"), "\xEF\xBD\xB1");  // half-width katakana
    // Whatever the bytes, the document can be written out.
    TJwwEntityStore store;
    InitStore(store);
    ReadExchangeBytes(store, "ch 0 0 1 0 \"\xFD\xFC\x80\xA0\x82\n");
    EXPECT_NO_THROW(StoreToJson(store).dump());
}

TEST(StoreJson, DoublesReadBackBitForBit) {
    const double values[] = {0.1,
                             1.0 / 3.0,
                             -0.0,
                             1e-300,
                             4.9e-324,
                             1e+308,
                             2.5,
                             std::numeric_limits<double>::max(),
                             -12345.678901234567};
    TJwwEntityStore store;
    InitStore(store);
    for (double v : values) {
        auto& line = AppendEntity(store, store.lines, EntityKind::Line);
        line.x1 = v;
        line.y2 = std::nextafter(v, 1.0);
    }
    auto back = nlohmann::json::parse(StoreToJson(store).dump());
    for (size_t i = 0; i < std::size(values); ++i) {
        const auto& e = back["entities"][i];
        EXPECT_EQ(std::bit_cast<uint64_t>(e["x1"].get<double>()),
                  std::bit_cast<uint64_t>(values[i]));
        EXPECT_EQ(std::bit_cast<uint64_t>(e["y2"].get<double>()),
                  std::bit_cast<uint64_t>(std::nextafter(values[i], 1.0)));
    }
}

TEST(StoreJson, EveryKindCarriesHeaderAndRecordFields) {
    TJwwEntityStore store;
    InitStore(store);
    ReadExchangeBytes(store,
                      "1 2 3 4\nci 0 0 1\nci 0 0 1 0 0 1 0\nch 0 0 1 0 t\npt 1 2\npt 1 2 3 4 5\n"
                      "msg\n0 0 9 0\ncs 0 0 1 0 d\nBL 1 2 b\nsl 0 0 1 1\nsl 0 0 1 0 1 1\n"
                      "sl 0 0 1 0 1 1 0 1\nsc 1 2 3 4 5 6 7 8\nse 1 2 3 4 5 6 7 8\n"
                      "so 1 2 3 4 5 6 7 8\nsg 1 2 3 4 5 6 7 8\n");
    auto doc = StoreToJson(store);
    const auto& entities = doc["entities"];
    ASSERT_EQ(entities.size(), 15u);
    const char* lastField[] = {"y2",        "radius",    "tiltAngle", "text",        "y",
                               "extraCode", "text",      "name",      "y2",          "y3",
                               "y4",        "solidCode", "solidCode", "innerRadius", "innerRadius"};
    for (int k = 0; k < 15; ++k) {
        SCOPED_TRACE(k + 1);
        const auto& e = entities[static_cast<size_t>(k)];
        EXPECT_EQ(e["kind"], k + 1);
        EXPECT_EQ(e["index"], 0);
        EXPECT_TRUE(e.contains("zFlags") && e.contains("hhp") && e.contains("lineWidth"));
        EXPECT_TRUE(e.contains(lastField[k]));
    }
    EXPECT_FALSE(entities[13].contains("solidCode"));  // rings have an inner radius instead
    EXPECT_EQ(entities[6]["line"]["x2"], 9.0);
    EXPECT_EQ(entities[6]["text"]["text"], "d");
    EXPECT_EQ(entities[6]["text"]["fontName"],
              "<\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF>");
    const auto& state = doc["state"];
    EXPECT_EQ(state["refPoints"].size(), 100u);
    EXPECT_EQ(state["charKinds"].size(), 10u);
    EXPECT_EQ(state["pendingDimLine"]["x2"], 9.0);
    EXPECT_EQ(state["firstOccurrenceMarkers"]["cn"], true);
}

// What a file holds after streaming; the writer is flushed and closed first.
std::string Streamed(const std::function<void(TJsonWriter&)>& write) {
    std::FILE* file = std::tmpfile();
    {
        TJsonWriter out(file);
        write(out);
        EXPECT_TRUE(out.Flush());
    }
    std::string text(static_cast<size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    EXPECT_EQ(std::fread(text.data(), 1, text.size(), file), text.size());
    std::fclose(file);
    return text;
}

// The streamed document has the bytes of the tree's dump: every kind, odd texts and
// doubles, an empty store, and beyond the writer's buffer.
TEST(StoreJson, StreamedDocumentIsTheTreeByteForByte) {
    using Json = nlohmann::ordered_json;
    const auto dump = [](const Json& j) {
        return j.dump(1, ' ', false, Json::error_handler_t::replace);
    };
    TJwwEntityStore empty;
    InitStore(empty);
    Json extra = Json::object();
    extra["extents"] = {0.1, -0.0, 1e300, std::numeric_limits<double>::quiet_NaN()};
    const std::string expectedEmpty = [&] {
        Json doc = StoreToJson(empty);
        doc["extents"] = extra["extents"];
        return dump(doc);
    }();
    EXPECT_EQ(Streamed([&](TJsonWriter& out) { WriteStoreJson(empty, extra, out); }),
              expectedEmpty);

    std::string exchange = ReadSample();
    for (int i = 0; i < 400; ++i)
        exchange += "ch " + std::to_string(i * 0.1) + " 1e-7 1 0 \"a\tb\\\"c\x82\xA0\x81\n";
    TJwwEntityStore store;
    InitStore(store);
    ReadExchangeBytes(store, exchange);
    Json doc = StoreToJson(store);
    doc["extents"] = extra["extents"];
    EXPECT_EQ(Streamed([&](TJsonWriter& out) { WriteStoreJson(store, extra, out); }), dump(doc));
}

}  // namespace
}  // namespace veldra::cli
