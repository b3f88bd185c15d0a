// Entity lines: kinds, header stamping, modes, solid reduction and dimensions.

#include <gtest/gtest.h>

#include "exchange/exchange_reader.h"

namespace veldra {
namespace {

class ReaderEntities : public ::testing::Test {
  protected:
    void SetUp() override { InitStore(store); }
    void Read(std::string_view bytes) { ASSERT_TRUE(ReadExchangeBytes(store, bytes)); }
    TJwwEntityStore store;
};

TEST_F(ReaderEntities, CircleArcAndBareLineByFieldCount) {
    Read(
        "hhp3\nlg2\nly5\nlc4\nlt2\nlw1\n"
        "ci 0 0 5\nci 1 2 3 10 20 0.5 45\nci 0 0 5 0 90\n1 2 3 4\npt 1 2 3\n");
    ASSERT_EQ(store.circles.size(), 1u);
    EXPECT_EQ(store.circles[0].radius, 5.0);
    const TJwwEntHead& h = store.circles[0].head;
    EXPECT_EQ((std::vector<int32_t>{h.hhp, h.layerGroup, h.layer, h.color, h.lineType, h.lineWidth,
                                    h.zFlags}),
              (std::vector<int32_t>{3, 2, 5, 4, 2, 1, 0}));
    ASSERT_EQ(store.arcs.size(), 1u);
    const TJwwEntArc& a = store.arcs[0];
    EXPECT_EQ((std::vector<double>{a.cx, a.cy, a.radius, a.startAngle, a.endAngle, a.flatness,
                                   a.tiltAngle}),
              (std::vector<double>{1, 2, 3, 10, 20, 0.5, 45}));
    // "pt 1 2 3" has four fields: a bare line whose x1 reads the keyword as 0.
    ASSERT_EQ(store.lines.size(), 2u);
    EXPECT_EQ(store.lines[1].x1, 0.0);
    EXPECT_EQ(store.lines[1].y1, 1.0);
    EXPECT_EQ(store.lines[1].y2, 3.0);
    ASSERT_EQ(store.creationOrder.size(), 4u);
    EXPECT_EQ(store.creationOrder[1].kind, EntityKind::Arc);
    EXPECT_EQ(store.creationOrder[3].index, 1);
}

TEST_F(ReaderEntities, PolylineGroupsEndAtTheNextOtherEntity) {
    Read("pl\n0 0 1 0\n1 0 1 1\n1 1 0 0\nci 0 0 1\n5 5 6 6\npl\n0 0 2 2\n#\n2 2 3 3\n");
    ASSERT_EQ(store.lines.size(), 6u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(store.lines[i].polylineNo, 1);
    EXPECT_EQ(store.lines[3].polylineNo, 0);
    EXPECT_EQ(store.lines[4].polylineNo, 2);
    EXPECT_EQ(store.lines[5].polylineNo, 0);
}

TEST_F(ReaderEntities, TextTakesItsKindCcAndFont) {
    Read(
        "hcw 1 2 3 4 5 6 7 8 9 10\nhcc 1 2 3 4 5 6 7 8 9 10\ncn4\ncc2\nlc9\n"
        "cn$<F>\nck 1 2 0 1 \"\x82\x60\x82\x61 C\ncn11\nch 0 0 1 0 AB C\n");
    ASSERT_EQ(store.texts.size(), 2u);
    const TJwwEntText& t = store.texts[0];
    EXPECT_EQ(t.textType, 7);
    EXPECT_EQ(t.cc, 2);
    EXPECT_EQ(t.charKind, 4);
    EXPECT_EQ(t.width, 4.0);
    EXPECT_EQ(t.head.color, 4);  // the kind's colour, not "lc9"
    EXPECT_EQ(t.fontName, "<F>");
    EXPECT_EQ(t.dirY, 1.0);
    EXPECT_EQ(t.text, "\x82\x60\x82\x61 C");
    // Kind 11 is outside the table: the "cn0" values (defaults here) apply.
    const TJwwEntText& u = store.texts[1];
    EXPECT_EQ(u.text, "AB");
    EXPECT_EQ(u.width, 2.0);
    EXPECT_EQ(u.head.color, 1);
}

TEST_F(ReaderEntities, LongTextsAreCutTo255Bytes) {
    Read("ch 0 0 1 0 \"" + std::string(300, 'x') + "\nBL 1 2 " + std::string(300, 'y') + "\n");
    EXPECT_EQ(store.texts[0].text.size(), 255u);
    EXPECT_EQ(store.blocks[0].name.size(), 300u);  // a block name is not bounded
}

TEST_F(ReaderEntities, PointsTakeThePnColour) {
    Read("lc5\npt 1 2\npn7\npt 3 4 5 6 7\npt 1 2 3 4\n");
    EXPECT_EQ(store.points[0].head.color, 1);
    ASSERT_EQ(store.pointExs.size(), 1u);
    const TJwwEntPointEx& p = store.pointExs[0];
    EXPECT_EQ(p.head.color, 7);
    EXPECT_EQ(p.extra2, 6.0);
    EXPECT_EQ(p.extraCode, 7);
    EXPECT_EQ(store.EntityCount(), 2u);  // "pt" with five fields is ignored
}

TEST_F(ReaderEntities, SolidsAreReducedToTheirDistinctCorners) {
    Read(
        "lc10 255\n"
        "sl 0 0 0 0 5 5 5 5\n"  // P1=P2, P3=P4: two points (P1, P3)
        "sl 0 0 1 0 1 1 0 0\n"  // P4=P1: triangle (P1, P2, P3)
        "sl 0 0 1 0 0 0 2 2\n"  // P3=P1: triangle (P1, P2, P4)
        "sl 0 0 0 0 1 0 2 2\n"  // P2=P1 only: triangle (P1, P3, P4)
        "sl 0 0 0 0 0 0 7 7\n"  // three equal: two points (P1, P4)
        "sl 0 0 1 1 1 1 1 1\n"  // P2=P3=P4: two points (P1, P2)
        "sl 0 0 1 0 1 1 0 1\n"  // a quadrilateral
        "sl 0 0 0 1e-11 4 4\n"  // three points, P1=P2 within 1e-10
        "sl 0 0 3 3 3 3\n"      // three points, P2=P3
        "sl 0 0 1 0 1 1\n"      // a triangle
        "sl 1 2 3 4\n");
    ASSERT_EQ(store.solid2s.size(), 6u);
    ASSERT_EQ(store.solid3s.size(), 4u);
    ASSERT_EQ(store.solid4s.size(), 1u);
    auto two = [&](size_t i) {
        const auto& r = store.solid2s[i];
        return std::vector<double>{r.x1, r.y1, r.x2, r.y2};
    };
    auto three = [&](size_t i) {
        const auto& r = store.solid3s[i];
        return std::vector<double>{r.x1, r.y1, r.x2, r.y2, r.x3, r.y3};
    };
    EXPECT_EQ(two(0), (std::vector<double>{0, 0, 5, 5}));
    EXPECT_EQ(three(0), (std::vector<double>{0, 0, 1, 0, 1, 1}));
    EXPECT_EQ(three(1), (std::vector<double>{0, 0, 1, 0, 2, 2}));
    EXPECT_EQ(three(2), (std::vector<double>{0, 0, 1, 0, 2, 2}));
    EXPECT_EQ(two(1), (std::vector<double>{0, 0, 7, 7}));
    EXPECT_EQ(two(2), (std::vector<double>{0, 0, 1, 1}));
    EXPECT_EQ(store.solid4s[0].y4, 1.0);
    EXPECT_EQ(two(3), (std::vector<double>{0, 0, 4, 4}));
    EXPECT_EQ(two(4), (std::vector<double>{0, 0, 3, 3}));
    EXPECT_EQ(three(3), (std::vector<double>{0, 0, 1, 0, 1, 1}));
    EXPECT_EQ(two(5), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(store.solid2s[5].extColor, 255);
    EXPECT_EQ(store.solid4s[0].extColor, 255);
}

TEST_F(ReaderEntities, EllipticSolids) {
    Read(
        "lc10 $123456\nsc 1 2 3 0.5 0.1 0.2 -3.14 100\nse 1 2 3 1 0 0 6.28 5\n"
        "so 0 0 10 1 0 0 6.28 4\nsg 0 0 10 1 0 0 6.28 2.5\nsc 1 2 3 4 5 6 7\n");
    ASSERT_EQ(store.solidScs.size(), 1u);
    EXPECT_EQ(store.solidScs[0].sweepRad, -3.14);
    EXPECT_EQ(store.solidScs[0].solidCode, 100);
    EXPECT_EQ(store.solidScs[0].extColor, 0x123456);
    EXPECT_EQ(store.solidSes[0].solidCode, 5);
    EXPECT_EQ(store.solidSos[0].innerRadius, 4.0);
    EXPECT_EQ(store.solidSgs[0].innerRadius, 2.5);
    EXPECT_EQ(store.EntityCount(), 4u);
}

TEST_F(ReaderEntities, DimensionTakesThePendingLine) {
    Read("lc3\npl\nmsg\n0 0 100 0\ncs 50 5 1 0 \"100\n0 0 1 1\n");
    ASSERT_EQ(store.dims.size(), 1u);
    const TJwwEntDim& d = store.dims[0];
    EXPECT_EQ(d.line.x2, 100.0);
    EXPECT_EQ(d.line.head.color, 3);
    EXPECT_EQ(d.line.polylineNo, 0);
    EXPECT_EQ(d.text.textType, 2);
    EXPECT_EQ(d.text.text, "100");
    EXPECT_EQ(d.text.head.color, 2);  // character kind 1's colour
    EXPECT_EQ(d.head.color, 3);
    // The dimension ends dimension mode: the next bare line is a line entity.
    ASSERT_EQ(store.lines.size(), 1u);
    EXPECT_EQ(store.lines[0].polylineNo, 0);
    EXPECT_EQ(store.EntityCount(), 2u);
    // "cs" outside dimension mode is a plain text.
    Read("cs 0 0 1 0 x\n");
    EXPECT_EQ(store.texts.size(), 1u);
}

}  // namespace
}  // namespace veldra
