// Drawers of pictures and solids.

#include <initializer_list>

#include "attributes/picture_text.h"
#include "display/pictures/picture.h"
#include "display/render/render.h"

namespace veldra {

namespace {

// A solid's colour number that means "its own RGB colour in extColor".
constexpr int32_t kOwnColor = 10;
constexpr int32_t kSolidBrush = 1;
constexpr int32_t kPlainLineType = 1;

// Pen and brush of a solid: its own colour with colour number 10, else the
// colour of its colour number (and layer), filled solid.
void ApplySolidPenAndBrush(TRenderTarget& t, const TJwwEntHead& head, int32_t extColor) {
    if (head.color == kOwnColor) {
        const auto color = static_cast<ColorRef>(extColor) & 0xFFFFFFu;
        t.context.SetCanvasPen(t.canvas, color, 0, 0);
        t.context.SetCanvasBrush(t.canvas, color, kSolidBrush);
        return;
    }
    const int32_t key = LayerKeyOf(head);
    t.context.ApplyEntityPen(t.canvas, key, head.color, kPlainLineType, 0.0);
    t.context.ApplyEntityBrush(t.canvas, key, head.color, kSolidBrush);
}

void DrawPointSolid(TRenderTarget& t, const TJwwEntHead& head, int32_t extColor,
                    std::initializer_list<TRealPoint> points) {
    ApplySolidPenAndBrush(t, head, extColor);
    const double d = EntityDivisor(t.state, head.layerGroup);
    std::vector<TRealPoint>& world = t.context.WorldPoints;
    world.clear();
    for (const TRealPoint& p : points) world.push_back({p.X / d, p.Y / d});
    // Two points are shown as a line; three or four are filled.
    if (world.size() == 2)
        t.context.DrawWorldPolyline(t.canvas);
    else
        t.context.DrawWorldPolygon(t.canvas);
    world.clear();
}

}  // namespace

void DrawPictureEntity(TRenderTarget& t, const TJwwEntText& text) {
    const std::optional<TPictureText> picture = ParsePictureText(text.text);
    if (!picture) return;
    const double d = EntityDivisor(t.state, text.head.layerGroup);
    // The reference point is in stored units; width and height are view units already.
    const double x1 = text.x / d, y1 = text.y / d;
    const double x2 = x1 + picture->width, y2 = y1 + picture->height;
    if (picture->IsTrimmed()) {
        DrawTrimmedPicture(t.context, t.canvas, x1, y1, x2, y2, picture->trimX, picture->trimY,
                           picture->trimSize, picture->path, t.cache, t.metafiles);
    } else {
        DrawPicture(t.context, t.canvas, x1, y1, x2, y2, picture->path, t.cache, t.metafiles);
    }
}

void DrawSolidEntity(TRenderTarget& t, const TJwwEntSolid2& s) {
    DrawPointSolid(t, s.head, s.extColor, {{s.x1, s.y1}, {s.x2, s.y2}});
}

void DrawSolidEntity(TRenderTarget& t, const TJwwEntSolid3& s) {
    DrawPointSolid(t, s.head, s.extColor, {{s.x1, s.y1}, {s.x2, s.y2}, {s.x3, s.y3}});
}

void DrawSolidEntity(TRenderTarget& t, const TJwwEntSolid4& s) {
    DrawPointSolid(t, s.head, s.extColor, {{s.x1, s.y1}, {s.x2, s.y2}, {s.x3, s.y3}, {s.x4, s.y4}});
}

void DrawArcSolidEntity(TRenderTarget& t, const TJwwEntSolidSc& s, TShapeKind kind) {
    ApplySolidPenAndBrush(t, s.head, s.extColor);
    const double d = EntityDivisor(t.state, s.head.layerGroup);
    t.context.DrawSolidEllipse(t.canvas, kind, s.cx / d, s.cy / d, s.radius / d, s.flatness,
                               s.tiltRad, s.startRad, s.sweepRad, s.solidCode);
}

void DrawArcSolidEntity(TRenderTarget& t, const TJwwEntSolidSo& s) {
    ApplySolidPenAndBrush(t, s.head, s.extColor);
    const double d = EntityDivisor(t.state, s.head.layerGroup);
    t.context.DrawSolidEllipse(t.canvas, TShapeKind::ShapeRing, s.cx / d, s.cy / d, s.radius / d,
                               s.flatness, s.tiltRad, s.startRad, s.sweepRad, s.innerRadius / d);
}

}  // namespace veldra
