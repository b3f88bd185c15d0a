#include "cli/store_json.h"

#include "common/code_page_932.h"

namespace veldra::cli {
namespace {

using Json = nlohmann::ordered_json;

Json Text(const std::string& bytes) {
    return Utf8FromCodePage932(bytes);
}

Json CharKind(const TJwwCharKind& k) {
    return {{"width", k.width}, {"height", k.height}, {"spacing", k.spacing}, {"color", k.color}};
}

void PutHead(Json& j, const TJwwEntHead& h) {
    j["hhp"] = h.hhp;
    j["layerGroup"] = h.layerGroup;
    j["layer"] = h.layer;
    j["color"] = h.color;
    j["lineType"] = h.lineType;
    j["lineWidth"] = h.lineWidth;
    j["zFlags"] = h.zFlags;
}

Json Line(const TJwwEntLine& r) {
    Json j = Json::object();
    PutHead(j, r.head);
    j["polylineNo"] = r.polylineNo;
    j["x1"] = r.x1, j["y1"] = r.y1, j["x2"] = r.x2, j["y2"] = r.y2;
    return j;
}

Json TextRecord(const TJwwEntText& r) {
    Json j = Json::object();
    PutHead(j, r.head);
    j["textType"] = r.textType;
    j["cc"] = r.cc;
    j["charKind"] = r.charKind;
    j["width"] = r.width, j["height"] = r.height, j["spacing"] = r.spacing;
    j["x"] = r.x, j["y"] = r.y, j["dirX"] = r.dirX, j["dirY"] = r.dirY;
    j["fontName"] = Text(r.fontName);
    j["text"] = Text(r.text);
    return j;
}

template <class Ellipse>
void PutEllipse(Json& j, const Ellipse& r) {
    j["extColor"] = r.extColor;
    j["cx"] = r.cx, j["cy"] = r.cy, j["radius"] = r.radius, j["flatness"] = r.flatness;
    j["tiltRad"] = r.tiltRad, j["startRad"] = r.startRad, j["sweepRad"] = r.sweepRad;
}

// The record's own fields (after the header) into j.
void PutRecord(Json& j, const TJwwEntityStore& s, EntityKind kind, size_t i) {
    switch (kind) {
        case EntityKind::Line: {
            const auto& r = s.lines[i];
            j["polylineNo"] = r.polylineNo;
            j["x1"] = r.x1, j["y1"] = r.y1, j["x2"] = r.x2, j["y2"] = r.y2;
            break;
        }
        case EntityKind::Circle: {
            const auto& r = s.circles[i];
            j["cx"] = r.cx, j["cy"] = r.cy, j["radius"] = r.radius;
            break;
        }
        case EntityKind::Arc: {
            const auto& r = s.arcs[i];
            j["cx"] = r.cx, j["cy"] = r.cy, j["radius"] = r.radius;
            j["startAngle"] = r.startAngle, j["endAngle"] = r.endAngle;
            j["flatness"] = r.flatness, j["tiltAngle"] = r.tiltAngle;
            break;
        }
        case EntityKind::Text: {
            Json t = TextRecord(s.texts[i]);
            for (auto it = t.begin(); it != t.end(); ++it)
                if (!j.contains(it.key())) j[it.key()] = it.value();
            break;
        }
        case EntityKind::Point: {
            const auto& r = s.points[i];
            j["x"] = r.x, j["y"] = r.y;
            break;
        }
        case EntityKind::PointEx: {
            const auto& r = s.pointExs[i];
            j["x"] = r.x, j["y"] = r.y, j["extra1"] = r.extra1, j["extra2"] = r.extra2;
            j["extraCode"] = r.extraCode;
            break;
        }
        case EntityKind::Dim:
            j["line"] = Line(s.dims[i].line);
            j["text"] = TextRecord(s.dims[i].text);
            break;
        case EntityKind::Blk: {
            const auto& r = s.blocks[i];
            j["x"] = r.x, j["y"] = r.y, j["name"] = Text(r.name);
            break;
        }
        case EntityKind::Solid2: {
            const auto& r = s.solid2s[i];
            j["extColor"] = r.extColor;
            j["x1"] = r.x1, j["y1"] = r.y1, j["x2"] = r.x2, j["y2"] = r.y2;
            break;
        }
        case EntityKind::Solid3: {
            const auto& r = s.solid3s[i];
            j["extColor"] = r.extColor;
            j["x1"] = r.x1, j["y1"] = r.y1, j["x2"] = r.x2, j["y2"] = r.y2;
            j["x3"] = r.x3, j["y3"] = r.y3;
            break;
        }
        case EntityKind::Solid4: {
            const auto& r = s.solid4s[i];
            j["extColor"] = r.extColor;
            j["x1"] = r.x1, j["y1"] = r.y1, j["x2"] = r.x2, j["y2"] = r.y2;
            j["x3"] = r.x3, j["y3"] = r.y3, j["x4"] = r.x4, j["y4"] = r.y4;
            break;
        }
        case EntityKind::SolidSc:
        case EntityKind::SolidSe: {
            const auto& r = kind == EntityKind::SolidSc ? s.solidScs[i] : s.solidSes[i];
            PutEllipse(j, r);
            j["solidCode"] = r.solidCode;
            break;
        }
        case EntityKind::SolidSo:
        case EntityKind::SolidSg: {
            const auto& r = kind == EntityKind::SolidSo ? s.solidSos[i] : s.solidSgs[i];
            PutEllipse(j, r);
            j["innerRadius"] = r.innerRadius;
            break;
        }
    }
}

const TJwwEntHead& HeadOf(const TJwwEntityStore& s, EntityKind kind, size_t i) {
    switch (kind) {
        case EntityKind::Line:
            return s.lines[i].head;
        case EntityKind::Circle:
            return s.circles[i].head;
        case EntityKind::Arc:
            return s.arcs[i].head;
        case EntityKind::Text:
            return s.texts[i].head;
        case EntityKind::Point:
            return s.points[i].head;
        case EntityKind::PointEx:
            return s.pointExs[i].head;
        case EntityKind::Dim:
            return s.dims[i].head;
        case EntityKind::Blk:
            return s.blocks[i].head;
        case EntityKind::Solid2:
            return s.solid2s[i].head;
        case EntityKind::Solid3:
            return s.solid3s[i].head;
        case EntityKind::Solid4:
            return s.solid4s[i].head;
        case EntityKind::SolidSc:
            return s.solidScs[i].head;
        case EntityKind::SolidSe:
            return s.solidSes[i].head;
        case EntityKind::SolidSo:
            return s.solidSos[i].head;
        case EntityKind::SolidSg:
            return s.solidSgs[i].head;
    }
    return s.lines[i].head;  // not reached: every kind is listed
}

// As inspect prints the document: one space per level, broken UTF-8 replaced.
std::string Dump(const Json& j) {
    return j.dump(1, ' ', false, Json::error_handler_t::replace);
}

// A value dumped on its own, placed `indent` spaces deep: every line after the first
// moves right. Strings hold no raw line break (dump escapes it), so every '\n' is a
// line of the layout.
void PutIndented(TJsonWriter& out, const std::string& text, size_t indent) {
    const std::string_view spaces = "                                ";
    size_t from = 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
        out.Raw(std::string_view(text).substr(from, at + 1 - from));
        out.Raw(spaces.substr(0, indent));
        from = at + 1;
    }
    out.Raw(std::string_view(text).substr(from));
}

}  // namespace

const char* EntityKindName(EntityKind kind) {
    static constexpr const char* kNames[] = {
        "line",          "circle",     "arc",        "text",       "point",
        "point (extra)", "dimension",  "block",      "solid (2)",  "solid (3)",
        "solid (4)",     "solid (sc)", "solid (se)", "solid (so)", "solid (sg)"};
    int k = static_cast<int>(kind);
    return k >= 1 && k <= kEntityKindCount ? kNames[k - 1] : "?";
}

Json StateToJson(const TJwwDrawingState& s) {
    Json j = Json::object();
    j["filePath"] = Text(s.filePath);
    j["hkValue"] = s.hkValue;
    j["groupScale"] = s.groupScale;
    j["paperWidth"] = s.paperWidth;
    j["paperHeight"] = s.paperHeight;
    Json kinds = Json::array();  // character kinds 1..10
    for (int k = 1; k <= kCharKindCount; ++k) kinds.push_back(CharKind(s.charKinds[k]));
    j["charKinds"] = kinds;
    j["bzFlag"] = s.bzFlag;
    j["hnValues"] = s.hnValues;
    j["groupState"] = s.groupState;
    Json names = Json::array();
    for (const auto& n : s.groupNames) names.push_back(Text(n));
    j["groupNames"] = names;
    j["layerState"] = s.layerState;
    names = Json::array();
    for (const auto& n : s.layerNames) names.push_back(Text(n));
    j["layerNames"] = names;
    Json points = Json::array();
    for (const auto& p : s.refPoints)
        points.push_back({{"used", p.used}, {"x", p.x}, {"y", p.y}, {"tag", p.tag}});
    j["refPoints"] = points;
    j["refPointCount"] = s.refPointCount;
    j["firstLayerGroup"] = s.firstLayerGroup;
    j["firstLayer"] = s.firstLayer;
    j["firstColor"] = s.firstColor;
    j["firstLineType"] = s.firstLineType;
    j["firstLineWidth"] = s.firstLineWidth;
    j["firstCharKind"] = s.firstCharKind;
    j["firstCharKind0"] = CharKind(s.firstCharKind0);
    j["firstFontName"] = Text(s.firstFontName);
    j["firstOccurrenceMarkers"] = {{"lg", s.firstLg}, {"ly", s.firstLy}, {"lc", s.firstLc},
                                   {"lt", s.firstLt}, {"lw", s.firstLw}, {"cn", s.firstCn}};
    j["curHhp"] = s.curHhp;
    j["curLayerGroup"] = s.curLayerGroup;
    j["curLayer"] = s.curLayer;
    j["curColor"] = s.curColor;
    j["curLineType"] = s.curLineType;
    j["curLineWidth"] = s.curLineWidth;
    j["curCharKind"] = s.curCharKind;
    j["curCharKind0"] = CharKind(s.curCharKind0);
    j["curCc"] = s.curCc;
    j["curFontName"] = Text(s.curFontName);
    j["curZFlags"] = s.curZFlags;
    j["polylineCount"] = s.polylineCount;
    j["polylineMode"] = s.polylineMode;
    j["dimensionMode"] = s.dimensionMode;
    j["curPn"] = s.curPn;
    j["extColor"] = s.extColor;
    j["pendingDimLine"] = Line(s.pendingDimLine);
    return j;
}

Json EntityToJson(const TJwwEntityStore& store, const TJwwEntityRef& ref) {
    Json j = Json::object();
    j["kind"] = static_cast<int>(ref.kind);
    j["index"] = ref.index;
    if (ref.index < 0 || static_cast<size_t>(ref.index) >= store.CountOf(ref.kind)) return j;
    const auto i = static_cast<size_t>(ref.index);
    PutHead(j, HeadOf(store, ref.kind, i));
    PutRecord(j, store, ref.kind, i);
    return j;
}

Json EntitiesToJson(const TJwwEntityStore& store) {
    Json list = Json::array();
    for (const TJwwEntityRef& ref : store.creationOrder) list.push_back(EntityToJson(store, ref));
    return list;
}

void WriteStoreJson(const TJwwEntityStore& store, const Json& extra, TJsonWriter& out) {
    out.Raw("{\n \"state\": ");
    PutIndented(out, Dump(StateToJson(store.state)), 1);
    out.Raw(",\n \"entities\": ");
    if (store.creationOrder.empty()) {
        out.Raw("[]");
    } else {
        out.Raw("[\n");
        bool first = true;
        for (const TJwwEntityRef& ref : store.creationOrder) {
            out.Raw(first ? "  " : ",\n  ");
            first = false;
            PutIndented(out, Dump(EntityToJson(store, ref)), 2);
        }
        out.Raw("\n ]");
    }
    for (auto it = extra.begin(); it != extra.end(); ++it) {
        out.Raw(",\n ");
        out.Raw(Dump(Json(it.key())));
        out.Raw(": ");
        PutIndented(out, Dump(it.value()), 1);
    }
    out.Raw("\n}");
}

Json StoreToJson(const TJwwEntityStore& store) {
    Json j = Json::object();
    j["state"] = StateToJson(store.state);
    j["entities"] = EntitiesToJson(store);
    return j;
}

}  // namespace veldra::cli
