// Entity lines of the exchange file: each creates one record stamped from the current
// attributes, then clears the z bits; every entity but a bare line also ends the
// polyline and dimension modes.

#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "common/my_func.h"
#include "exchange/entity_staging.h"
#include "exchange/exchange_rules.h"

namespace veldra::exchange_rules {
namespace {

double Real(const TExchangeFields& f, int i) {
    return ParseRealOrZero(f[i]);
}

struct TPt {
    double x = 0, y = 0;
};

// Solid corners closer than this in x and in y are one corner.
constexpr double kSolidPointTolerance = 1e-10;

bool Same(const TPt& a, const TPt& b) {
    return std::fabs(a.x - b.x) <= kSolidPointTolerance &&
           std::fabs(a.y - b.y) <= kSolidPointTolerance;
}

// Text type of a text keyword, -1 for any other field 0.
int32_t TextType(std::string_view f0) {
    static constexpr std::array<std::string_view, 10> kKeywords = {"ch", "cv", "cs", "cr", "co",
                                                                   "cp", "ct", "ck", "cz", "c2"};
    for (size_t i = 0; i < kKeywords.size(); ++i)
        if (f0 == kKeywords[i]) return static_cast<int32_t>(i);
    return -1;
}

void EndNonLineEntity(TJwwDrawingState& s) {
    s.curZFlags = 0;
    s.polylineMode = false;
    s.dimensionMode = false;
}

// Character-kind resolution: kinds 1..10 come from the header table, any other from
// the values of the last "cn0" line.
void FillText(const TJwwDrawingState& s, TJwwEntText& t, int32_t textType,
              const TExchangeFields& f) {
    t.textType = textType;
    t.cc = s.curCc;
    t.charKind = s.curCharKind;
    const TJwwCharKind& kind = s.curCharKind >= 1 && s.curCharKind <= kCharKindCount
                                   ? s.charKinds[static_cast<size_t>(s.curCharKind)]
                                   : s.curCharKind0;
    t.width = kind.width;
    t.height = kind.height;
    t.spacing = kind.spacing;
    t.head.color = kind.color;
    t.fontName.assign(s.curFontName, 0, kMaxRecordText);
    t.x = Real(f, 1);
    t.y = Real(f, 2);
    t.dirX = Real(f, 3);
    t.dirY = Real(f, 4);
    t.text.assign(f[5].substr(0, kMaxRecordText));
}

void AddText(TEntityStaging& staged, int32_t textType, const TExchangeFields& f) {
    TJwwDrawingState& s = staged.state;
    if (textType == 2 && s.dimensionMode) {
        TJwwEntDim& dim = AppendEntity(staged, staged.dims, EntityKind::Dim);
        dim.line = s.pendingDimLine;
        dim.line.polylineNo = 0;
        dim.text.head = CurrentHead(s);
        FillText(s, dim.text, 2, f);
    } else {
        TJwwEntText& text = AppendEntity(staged, staged.texts, EntityKind::Text);
        FillText(s, text, textType, f);
    }
}

template <class Solid>
Solid& AppendSolid(TEntityStaging& staged, TChunkedRecords<Solid>& list, EntityKind kind) {
    Solid& solid = AppendEntity(staged, list, kind);
    solid.extColor = staged.state.extColor;
    return solid;
}

void AddSolid2(TEntityStaging& staged, const TPt& a, const TPt& b) {
    auto& r = AppendSolid(staged, staged.solid2s, EntityKind::Solid2);
    r.x1 = a.x, r.y1 = a.y, r.x2 = b.x, r.y2 = b.y;
}

void AddSolid3(TEntityStaging& staged, const TPt& a, const TPt& b, const TPt& c) {
    auto& r = AppendSolid(staged, staged.solid3s, EntityKind::Solid3);
    r.x1 = a.x, r.y1 = a.y, r.x2 = b.x, r.y2 = b.y, r.x3 = c.x, r.y3 = c.y;
}

// An "sl" solid with repeated corners is stored with its distinct corners only.
void AddReducedSolid(TEntityStaging& staged, const TExchangeFields& f) {
    const TPt p1{Real(f, 1), Real(f, 2)}, p2{Real(f, 3), Real(f, 4)};
    const TPt p3{Real(f, 5), Real(f, 6)}, p4{Real(f, 7), Real(f, 8)};
    if (f.count == 7) {
        if (Same(p1, p2)) {
            AddSolid2(staged, p1, p3);
        } else if (Same(p2, p3)) {
            AddSolid2(staged, p1, p2);
        } else {
            AddSolid3(staged, p1, p2, p3);
        }
        return;
    }
    if (Same(p1, p2) && Same(p1, p3)) {
        AddSolid2(staged, p1, p4);
    } else if (Same(p2, p3) && Same(p2, p4)) {
        AddSolid2(staged, p1, p2);
    } else if (Same(p1, p2) && Same(p3, p4)) {
        AddSolid2(staged, p1, p3);
    } else if (Same(p4, p1) || Same(p4, p2) || Same(p4, p3)) {
        AddSolid3(staged, p1, p2, p3);
    } else if (Same(p3, p1) || Same(p3, p2)) {
        AddSolid3(staged, p1, p2, p4);
    } else if (Same(p2, p1)) {
        AddSolid3(staged, p1, p3, p4);
    } else {
        auto& r = AppendSolid(staged, staged.solid4s, EntityKind::Solid4);
        r.x1 = p1.x, r.y1 = p1.y, r.x2 = p2.x, r.y2 = p2.y;
        r.x3 = p3.x, r.y3 = p3.y, r.x4 = p4.x, r.y4 = p4.y;
    }
}

// "sc", "se", "so", "sg": the seven reals shared by the elliptic solids.
template <class Solid>
Solid& AddEllipticSolid(TEntityStaging& staged, TChunkedRecords<Solid>& list, EntityKind kind,
                        const TExchangeFields& f) {
    Solid& r = AppendSolid(staged, list, kind);
    r.cx = Real(f, 1);
    r.cy = Real(f, 2);
    r.radius = Real(f, 3);
    r.flatness = Real(f, 4);
    r.tiltRad = Real(f, 5);
    r.startRad = Real(f, 6);
    r.sweepRad = Real(f, 7);
    return r;
}

bool AddEllipticSolidByKeyword(TEntityStaging& staged, const TExchangeFields& f) {
    const std::string_view f0 = f[0];
    if (f0 == "sc") {
        AddEllipticSolid(staged, staged.solidScs, EntityKind::SolidSc, f).solidCode =
            ParseIntOrZero(f[8]);
    } else if (f0 == "se") {
        AddEllipticSolid(staged, staged.solidSes, EntityKind::SolidSe, f).solidCode =
            ParseIntOrZero(f[8]);
    } else if (f0 == "so") {
        AddEllipticSolid(staged, staged.solidSos, EntityKind::SolidSo, f).innerRadius = Real(f, 8);
    } else if (f0 == "sg") {
        AddEllipticSolid(staged, staged.solidSgs, EntityKind::SolidSg, f).innerRadius = Real(f, 8);
    } else {
        return false;
    }
    return true;
}

// A line of exactly four fields: a line record, or the pending line of a dimension.
void AddBareLine(TEntityStaging& staged, const TExchangeFields& f) {
    TJwwDrawingState& s = staged.state;
    TJwwEntLine* line = nullptr;
    if (s.dimensionMode) {
        line = &s.pendingDimLine;
        line->head = CurrentHead(s);
        line->polylineNo = 0;
    } else {
        line = &AppendEntity(staged, staged.lines, EntityKind::Line);
        line->polylineNo = s.polylineMode ? s.polylineCount : 0;
    }
    line->x1 = Real(f, 0);
    line->y1 = Real(f, 1);
    line->x2 = Real(f, 2);
    line->y2 = Real(f, 3);
    s.curZFlags = 0;  // the modes stay: the next bare line belongs to the same group
}

bool AddNonLineEntity(TEntityStaging& staged, const TExchangeFields& f) {
    const std::string_view f0 = f[0];
    const int count = f.count;
    // Every keyword below begins with one of these; a bare line's coordinate never does.
    if (f0.empty() || (f0[0] != 'c' && f0[0] != 'p' && f0[0] != 's' && f0[0] != 'B')) return false;
    int32_t textType = TextType(f0);
    if (f0 == "ci" && count == 4) {
        auto& r = AppendEntity(staged, staged.circles, EntityKind::Circle);
        r.cx = Real(f, 1), r.cy = Real(f, 2), r.radius = Real(f, 3);
    } else if (f0 == "ci" && count >= 8) {
        auto& r = AppendEntity(staged, staged.arcs, EntityKind::Arc);
        r.cx = Real(f, 1), r.cy = Real(f, 2), r.radius = Real(f, 3);
        r.startAngle = Real(f, 4), r.endAngle = Real(f, 5);
        r.flatness = Real(f, 6), r.tiltAngle = Real(f, 7);
    } else if (textType >= 0 && count >= 6) {
        AddText(staged, textType, f);
    } else if (f0 == "pt" && count == 3) {
        auto& r = AppendEntity(staged, staged.points, EntityKind::Point);
        r.head.color = staged.state.curPn;
        r.x = Real(f, 1), r.y = Real(f, 2);
    } else if (f0 == "pt" && count >= 6) {
        auto& r = AppendEntity(staged, staged.pointExs, EntityKind::PointEx);
        r.head.color = staged.state.curPn;
        r.x = Real(f, 1), r.y = Real(f, 2);
        r.extra1 = Real(f, 3), r.extra2 = Real(f, 4);
        r.extraCode = ParseIntOrZero(f[5]);
    } else if (f0 == "BL" && count >= 4) {
        auto& r = AppendEntity(staged, staged.blocks, EntityKind::Blk);
        r.x = Real(f, 1), r.y = Real(f, 2);
        r.name = f[3];
    } else if (f0 == "sl" && count == 5) {
        AddSolid2(staged, {Real(f, 1), Real(f, 2)}, {Real(f, 3), Real(f, 4)});
    } else if (f0 == "sl" && (count == 7 || count >= 9)) {
        AddReducedSolid(staged, f);
    } else if (!(count >= 9 && AddEllipticSolidByKeyword(staged, f))) {
        return false;
    }
    EndNonLineEntity(staged.state);
    return true;
}

}  // namespace

bool ApplyEntityRule(TEntityStaging& staged, const TExchangeFields& f) {
    if (AddNonLineEntity(staged, f)) return true;
    if (f.count == 4) {
        AddBareLine(staged, f);
        return true;
    }
    return false;
}

}  // namespace veldra::exchange_rules
