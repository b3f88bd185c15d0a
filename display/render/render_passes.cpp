// The two drawing passes: the order of the lists, the filters and the abort poll.

#include "display/pictures/metafile_playback.h"
#include "display/render/render.h"

namespace veldra {

namespace {

// Entities at these list indices poll the abort after being drawn.
constexpr size_t kPollEvery = 10;

// Draws one list; false when the poll asked to stop.
template <class Record, class Drawer>
bool DrawList(TRenderTarget& target, const std::vector<Record>& list, bool lineLike,
              const AbortPoll* poll, Drawer&& draw) {
    const TgraAttribute& attributes = target.context.Attributes();
    for (size_t i = 0; i < list.size(); ++i) {
        if (!EntityIsDrawn(attributes, list[i].head, lineLike)) continue;
        draw(list[i]);
        if (target.metafiles != nullptr && target.metafiles->aborted) return false;
        if (poll != nullptr && i % kPollEvery == 0 && CheckAbort(*poll)) return false;
    }
    return poll == nullptr || !CheckAbort(*poll);
}

// Pictures and the seven solid lists; false when stopped.
bool DrawPicturesAndSolids(TRenderTarget& t, const TJwwEntityStore& s, const AbortPoll* poll) {
    return DrawList(t, s.texts, false, poll,
                    [&](const TJwwEntText& e) { DrawPictureEntity(t, e); }) &&
           DrawList(t, s.solid2s, false, poll,
                    [&](const TJwwEntSolid2& e) { DrawSolidEntity(t, e); }) &&
           DrawList(t, s.solid3s, false, poll,
                    [&](const TJwwEntSolid3& e) { DrawSolidEntity(t, e); }) &&
           DrawList(t, s.solid4s, false, poll,
                    [&](const TJwwEntSolid4& e) { DrawSolidEntity(t, e); }) &&
           DrawList(
               t, s.solidScs, false, poll,
               [&](const TJwwEntSolidSc& e) { DrawArcSolidEntity(t, e, TShapeKind::ShapeFill); }) &&
           DrawList(t, s.solidSes, false, poll,
                    [&](const TJwwEntSolidSe& e) {
                        DrawArcSolidEntity(t, e, TShapeKind::ShapeOutline);
                    }) &&
           DrawList(t, s.solidSos, false, poll,
                    [&](const TJwwEntSolidSo& e) { DrawArcSolidEntity(t, e); }) &&
           DrawList(t, s.solidSgs, false, poll,
                    [&](const TJwwEntSolidSg& e) { DrawArcSolidEntity(t, e); });
}

void SetHollowBrush(TRenderTarget& t) {
    t.context.SetCanvasBrush(t.canvas, 0, 0);
}

}  // namespace

bool EntityIsDrawn(const TgraAttribute& attributes, const TJwwEntHead& head, bool lineLike) {
    if (attributes.LayerState(LayerKeyOf(head)) == kLayerHidden) return false;
    const bool auxiliary = attributes.ShowAuxiliary();
    if (!auxiliary && head.color == kAuxiliaryColor) return false;
    if (lineLike) {
        if ((head.zFlags & kZFlagHidden) != 0) return false;
        if (!auxiliary && head.lineType == kAuxiliaryLineType) return false;
    }
    return true;
}

bool DrawAllEntities(TRenderTarget& t, const TJwwEntityStore& s, const AbortPoll& poll) {
    t.context.ResetPatternState();
    TMetafilePlayback metafiles;
    metafiles.abort = &poll;
    t.metafiles = &metafiles;
    const bool picturesDone = DrawPicturesAndSolids(t, s, &poll);
    t.metafiles = nullptr;
    if (!picturesDone) return true;
    SetHollowBrush(t);
    const bool finished =
        DrawList(t, s.lines, true, &poll, [&](const TJwwEntLine& e) { DrawLineEntity(t, e); }) &&
        DrawList(t, s.circles, true, &poll,
                 [&](const TJwwEntCircle& e) { DrawCircleEntity(t, e); }) &&
        DrawList(t, s.arcs, true, &poll, [&](const TJwwEntArc& e) { DrawArcEntity(t, e); });
    return !finished;
}

void DrawSolidsAndPictures(TRenderTarget& t, const TJwwEntityStore& s) {
    t.context.ResetPatternState();
    DrawPicturesAndSolids(t, s, nullptr);
    SetHollowBrush(t);
}

}  // namespace veldra
