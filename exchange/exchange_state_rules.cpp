// Header, attribute, mode and reference-point lines of the exchange file. None of
// them creates an entity, so none of them touches the z bits.

#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "common/my_func.h"
#include "exchange/exchange_rules.h"

namespace veldra::exchange_rules {
namespace {

double Real(const TExchangeFields& f, int i) {
    return ParseRealOrZero(f[i]);
}
int32_t Integer(const TExchangeFields& f, int i) {
    return ParseIntOrZero(f[i]);
}

// 1-based position of the first occurrence of `what` in `s`, 0 when absent.
size_t Pos(std::string_view s, std::string_view what) {
    size_t at = s.find(what);
    return at == std::string_view::npos ? 0 : at + 1;
}

// Field 0 from byte `from` (0-based) on; empty when it is shorter.
std::string_view Tail(std::string_view s, size_t from) {
    return from < s.size() ? s.substr(from) : std::string_view();
}

// A single hexadecimal digit after "lg" / "ly": only one byte is read, so "lg12" is group 1.
int32_t OneHexDigit(std::string_view f0) {
    std::string text = "$";
    if (f0.size() > 2) text.push_back(f0[2]);
    int32_t v = ParseIntOrZero(text);
    return v >= 0 && v < kLayerGroupCount ? v : 0;
}

// The table entry at `index`, or nullptr when the table is shorter (a store that was
// never initialised): an index never reaches past a table.
template <class T>
T* Entry(std::vector<T>& table, int64_t index) {
    return index >= 0 && static_cast<size_t>(index) < table.size()
               ? &table[static_cast<size_t>(index)]
               : nullptr;
}

void Increment(int32_t& counter) {
    if (counter < std::numeric_limits<int32_t>::max()) ++counter;
}

// Layer tables are indexed by group * 16 + layer; the current layer group can be set
// from outside the reader, so it is checked rather than trusted.
template <class T>
T* LayerEntry(const TJwwDrawingState& s, std::vector<T>& table, int32_t layer) {
    if (s.curLayerGroup < 0 || s.curLayerGroup >= kLayerGroupCount || layer < 0 || layer >= 16)
        return nullptr;
    return Entry(table, s.curLayerGroup * 16 + layer);
}

TJwwCharKind CharKindFromFields(const TExchangeFields& f) {
    return {Real(f, 1), Real(f, 2), Real(f, 3), Integer(f, 4)};
}

// "hpN", "hpN-", "hpNln", "hpNci", "hpNch" with x and y.
void ApplyRefPoint(TJwwDrawingState& s, const TExchangeFields& f) {
    std::string_view f0 = f[0];
    std::string_view number = Tail(f0, 2);
    int32_t tag = 0;
    const std::string_view marks[] = {"-", "ln", "ci", "ch"};
    for (int32_t i = 0; i < 4; ++i) {
        size_t p = Pos(f0, marks[i]);
        if (p > 0) {
            number = p - 1 > 2 ? f0.substr(2, p - 1 - 2) : std::string_view();
            tag = i + 1;
        }
    }
    int32_t n = ParseIntOrZero(number);
    if (n < 1 || n >= kRefPointSlots) return;
    TJwwRefPoint* point = Entry(s.refPoints, n);
    if (point == nullptr) return;
    *point = {true, Real(f, 1), Real(f, 2), tag};
    Increment(s.refPointCount);
}

// "hhpN", optionally followed by "ln", "ci" or "ch".
void ApplyHhp(TJwwDrawingState& s, std::string_view f0) {
    size_t len = f0.size();
    for (std::string_view mark : {"ln", "ci", "ch"}) {
        size_t p = Pos(f0, mark);
        if (p > 4) len = p - 4;
    }
    s.curHhp = ParseIntOrZero(f0.substr(3, len));
}

bool ApplyHeader(TJwwDrawingState& s, const TExchangeFields& f) {
    const std::string_view f0 = f[0];
    const int count = f.count;
    if (f0.find("file=") != std::string_view::npos) {
        s.filePath = f0.substr(5);
    } else if (f0 == "hk" && count >= 2) {
        s.hkValue = Real(f, 1);
    } else if (f0 == "hs" && count >= 17) {
        for (int i = 0; i < kLayerGroupCount; ++i)
            s.groupScale[static_cast<size_t>(i)] = Real(f, i + 1);
    } else if (f0 == "hzs" && count >= 3) {
        s.paperWidth = Real(f, 1);
        s.paperHeight = Real(f, 2);
    } else if (f0 == "hcw" && count >= 11) {
        for (int i = 1; i <= kCharKindCount; ++i)
            s.charKinds[static_cast<size_t>(i)].width = Real(f, i);
    } else if (f0 == "hch" && count >= 11) {
        for (int i = 1; i <= kCharKindCount; ++i)
            s.charKinds[static_cast<size_t>(i)].height = Real(f, i);
    } else if (f0 == "hcd" && count >= 11) {
        for (int i = 1; i <= kCharKindCount; ++i)
            s.charKinds[static_cast<size_t>(i)].spacing = Real(f, i);
    } else if (f0 == "hcc" && count >= 11) {
        for (int i = 1; i <= kCharKindCount; ++i)
            s.charKinds[static_cast<size_t>(i)].color = Integer(f, i);
    } else if (f0 == "bz") {
        s.bzFlag = true;
    } else if (f0 == "hn" && count >= 5) {
        for (int i = 0; i < 4; ++i) s.hnValues[static_cast<size_t>(i)] = Real(f, i + 1);
    } else {
        return false;
    }
    return true;
}

bool ApplyLayer(TJwwDrawingState& s, const TExchangeFields& f) {
    const std::string_view f0 = f[0];
    if (f0.starts_with("lgn")) {
        if (auto* name = Entry(s.groupNames, s.curLayerGroup)) *name = f0.substr(3);
    } else if (f0.starts_with("lyn")) {
        if (auto* name = LayerEntry(s, s.layerNames, s.curLayer)) *name = f0.substr(3);
    } else if (f0.starts_with("lg")) {
        int32_t g = OneHexDigit(f0);
        if (s.firstLg) {
            s.firstLayerGroup = g;
            s.firstLg = false;
        }
        s.curLayerGroup = g;
        if (auto* state = Entry(s.groupState, g); state != nullptr && f.count >= 2)
            *state = Integer(f, 1);
    } else if (f0.starts_with("ly")) {
        int32_t l = OneHexDigit(f0);
        if (s.firstLy) {
            s.firstLayer = l;
            s.firstLy = false;
        }
        s.curLayer = l;
        if (auto* state = LayerEntry(s, s.layerState, l); state != nullptr && f.count >= 2)
            *state = Integer(f, 1);
    } else {
        return false;
    }
    return true;
}

bool ApplyAttribute(TJwwDrawingState& s, const TExchangeFields& f) {
    const std::string_view f0 = f[0];
    if (f0.starts_with("lc")) {
        int32_t c = ParseIntOrZero(Tail(f0, 2));
        if (s.firstLc) {
            s.firstColor = c;
            s.firstLc = false;
        }
        s.curColor = c;
        if (c == 10 && f.count >= 2) s.extColor = Integer(f, 1);
    } else if (f0.starts_with("lt")) {
        int32_t t = ParseIntOrZero(Tail(f0, 2));
        if (s.firstLt) {
            s.firstLineType = t;
            s.firstLt = false;
        }
        s.curLineType = t;
    } else if (f0.starts_with("lw")) {
        int32_t w = ParseIntOrZero(Tail(f0, 2));
        if (s.firstLw) {
            s.firstLineWidth = w;
            s.firstLw = false;
        }
        s.curLineWidth = w;
    } else if (f0.starts_with("cn$")) {
        const std::string name(f0.substr(3));
        if (s.firstFontName.empty()) s.firstFontName = name;
        s.curFontName = name;
    } else if (f0.starts_with("cn")) {
        int32_t k = ParseIntOrZero(Tail(f0, 2));
        bool withKind0 = k == 0 && f.count >= 5;
        if (s.firstCn) {
            s.firstCharKind = k;
            if (withKind0) s.firstCharKind0 = CharKindFromFields(f);
            s.firstCn = false;
        }
        s.curCharKind = k;
        if (withKind0) s.curCharKind0 = CharKindFromFields(f);
    } else if (f0.starts_with("cc")) {
        int32_t v = ParseIntOrZero(f0.size() > 2 ? f0.substr(2, 1) : std::string_view());
        s.curCc = v >= 0 && v <= 8 ? v : 0;
    } else {
        return false;
    }
    return true;
}

bool ApplyMode(TJwwDrawingState& s, const TExchangeFields& f) {
    const std::string_view f0 = f[0];
    if (f0.size() == 2 && f0[0] == 'z' && f0[1] >= '1' && f0[1] <= '5') {
        s.curZFlags |= 1 << (f0[1] - '1');
    } else if (f0.starts_with("pn")) {
        s.curPn = ParseIntOrZero(Tail(f0, 2));
    } else if (f0 == "pl") {
        Increment(s.polylineCount);
        s.polylineMode = true;
        s.dimensionMode = false;
    } else if (f0 == "msg") {
        s.dimensionMode = true;
        s.polylineMode = false;
    } else if (f0 == "#") {
        s.polylineMode = false;
        s.dimensionMode = false;
    } else if (f0.starts_with("hp") && f.count >= 3) {
        ApplyRefPoint(s, f);
    } else if (f0.starts_with("hhp")) {
        ApplyHhp(s, f0);
    } else {
        return false;
    }
    return true;
}

// Every state keyword begins with one of a few bytes; only "file=" may stand anywhere
// in field 0. Coordinates and entity keywords are sent on without a single compare.
bool MayBeStateLine(std::string_view f0) {
    if (f0.empty()) return false;
    switch (f0[0]) {
        case 'h':
        case 'b':
        case 'l':
        case 'c':
        case 'z':
        case 'p':
        case 'm':
        case '#':
            return true;
        default:
            return f0.find('=') != std::string_view::npos;
    }
}

}  // namespace

bool ApplyStateRule(TJwwEntityStore& store, const TExchangeFields& f) {
    if (!MayBeStateLine(f[0])) return false;
    TJwwDrawingState& s = store.state;
    return ApplyHeader(s, f) || ApplyLayer(s, f) || ApplyAttribute(s, f) || ApplyMode(s, f);
}

}  // namespace veldra::exchange_rules
