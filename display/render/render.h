#pragma once

// Entity rendering: walks the entity store in a fixed order (pictures, solids,
// then lines, circles, arcs and ellipses), skips what the layer state, the
// auxiliary setting and the hidden flag exclude, and draws the rest in view units
// through the drawing context. Texts are drawn only when they place a picture.

#include <cstdint>

#include "attributes/gra_attribute.h"
#include "common/abort_poll.h"
#include "display/canvas/draw_context.h"
#include "exchange/entity_store.h"

namespace veldra {

class TPictureCache;
struct TMetafilePlayback;

// Everything one drawing pass works with.
struct TRenderTarget {
    TDrawContext& context;
    TCanvas& canvas;
    const TJwwDrawingState& state;   // divisors
    TPictureCache* cache = nullptr;  // decoded pictures of this pass; may be null
    // The abort poll inside metafiles and whether it stopped one; may be null.
    TMetafilePlayback* metafiles = nullptr;
};

// Draws every shown entity. The poll is asked after the entities at list index 0,
// 10, 20, ... that reach their drawer, after each list, and inside long metafiles;
// when it answers true the pass stops and returns true.
bool DrawAllEntities(TRenderTarget& target, const TJwwEntityStore& store, const AbortPoll& poll);

// Only the picture-placement texts and the solids, without polling (the fill image).
void DrawSolidsAndPictures(TRenderTarget& target, const TJwwEntityStore& store);

// Whether an entity takes part in drawing: not on a hidden layer, and not in the
// auxiliary colour unless auxiliary entities are shown. Lines, circles and arcs
// (`lineLike`) are in addition skipped with the hidden flag, and in the auxiliary
// line type unless shown.
bool EntityIsDrawn(const TgraAttribute& attributes, const TJwwEntHead& head, bool lineLike);

// Layer key of an entity: layer group * 16 + layer.
inline int32_t LayerKeyOf(const TJwwEntHead& head) {
    return head.layerGroup * 16 + head.layer;
}

// The drawers of the single entity kinds.
void DrawPictureEntity(TRenderTarget& target, const TJwwEntText& text);
void DrawSolidEntity(TRenderTarget& target, const TJwwEntSolid2& solid);
void DrawSolidEntity(TRenderTarget& target, const TJwwEntSolid3& solid);
void DrawSolidEntity(TRenderTarget& target, const TJwwEntSolid4& solid);
// "sc" (fill) and "se" (outline) solids.
void DrawArcSolidEntity(TRenderTarget& target, const TJwwEntSolidSc& solid, TShapeKind kind);
// "so" and "sg" solids (rings).
void DrawArcSolidEntity(TRenderTarget& target, const TJwwEntSolidSo& solid);
void DrawLineEntity(TRenderTarget& target, const TJwwEntLine& line);
void DrawCircleEntity(TRenderTarget& target, const TJwwEntCircle& circle);
void DrawArcEntity(TRenderTarget& target, const TJwwEntArc& arc);

// Pen width in millimetres of a line, circle or arc: its own width (hundredths of
// a millimetre) when set, else the width of its colour number.
double EntityPenWidth(const TgraAttribute& attributes, const TJwwEntHead& head);

}  // namespace veldra
