#include "exchange/entity_store.h"

namespace veldra {

// "<ＭＳ ゴシック>" in code page 932.
const char* const kDefaultFontName = "<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>";

std::string Str255(std::string_view s) {
    return std::string(s.substr(0, kMaxRecordText));
}

size_t TJwwEntityStore::CountOf(EntityKind kind) const {
    switch (kind) {
        case EntityKind::Line:
            return lines.size();
        case EntityKind::Circle:
            return circles.size();
        case EntityKind::Arc:
            return arcs.size();
        case EntityKind::Text:
            return texts.size();
        case EntityKind::Point:
            return points.size();
        case EntityKind::PointEx:
            return pointExs.size();
        case EntityKind::Dim:
            return dims.size();
        case EntityKind::Blk:
            return blocks.size();
        case EntityKind::Solid2:
            return solid2s.size();
        case EntityKind::Solid3:
            return solid3s.size();
        case EntityKind::Solid4:
            return solid4s.size();
        case EntityKind::SolidSc:
            return solidScs.size();
        case EntityKind::SolidSe:
            return solidSes.size();
        case EntityKind::SolidSo:
            return solidSos.size();
        case EntityKind::SolidSg:
            return solidSgs.size();
    }
    return 0;
}

void InitStore(TJwwEntityStore& store) {
    store = TJwwEntityStore{};
    TJwwDrawingState& s = store.state;
    s.groupScale.fill(1.0);
    for (int i = 1; i <= kCharKindCount; ++i) s.charKinds[i] = {3.0, 3.0, 0.0, 2};
    s.groupState.assign(kLayerGroupCount, 0);
    s.groupNames.assign(kLayerGroupCount, {});
    s.layerState.assign(kLayerEntryCount, 0);
    s.layerNames.assign(kLayerEntryCount, {});
    s.refPoints.assign(kRefPointSlots, {});
    s.curFontName = kDefaultFontName;
    s.pendingDimLine = {};
    s.pendingDimLine.head = {0, 0, 0, 1, 1, 0, 0};
    s.pendingDimLine.x2 = 1.0;
}

void ResetCurrentAttributes(TJwwEntityStore& store) {
    TJwwDrawingState& s = store.state;
    s.firstLg = s.firstLy = s.firstLc = s.firstLt = s.firstLw = s.firstCn = true;
    s.curLayerGroup = 0;
    s.curLayer = 0;
    s.curColor = 1;
    s.curLineType = 1;
    s.curLineWidth = 0;
    s.curCharKind = 1;
    s.curCharKind0 = {2.0, 2.0, 0.0, 1};
    s.curCc = 0;
    s.curFontName = kDefaultFontName;
    s.curPn = 1;
    s.extColor = 0;
}

void SetCurrentLayerGroup(TJwwEntityStore& store, int32_t n) {
    store.state.curLayerGroup = n;
}
void SetCurrentLayer(TJwwEntityStore& store, int32_t n) {
    store.state.curLayer = n;
}

void ReleaseStore(TJwwEntityStore& store) {
    store = TJwwEntityStore{};
}

TJwwEntHead CurrentHead(const TJwwDrawingState& s) {
    return {s.curHhp,      s.curLayerGroup, s.curLayer, s.curColor,
            s.curLineType, s.curLineWidth,  s.curZFlags};
}

double EntityDivisor(const TJwwDrawingState& state, int32_t layerGroup) {
    if (state.bzFlag) return 1.0;
    if (layerGroup < 0 || layerGroup >= kLayerGroupCount) return 1.0;
    double scale = state.groupScale[static_cast<size_t>(layerGroup)];
    return scale == 0.0 ? 1.0 : scale;
}

}  // namespace veldra
