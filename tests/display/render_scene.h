#pragma once

// A small drawing for rendering tests: an entity store, start-up attributes and a
// view whose window starts at (0, 0) with a chosen scale, drawn onto a canvas.

#include <QImage>
#include <string>

#include "attributes/gra_attribute.h"
#include "display/canvas/canvas.h"
#include "display/canvas/draw_context.h"
#include "display/render/render.h"
#include "display/render/view_redraw.h"
#include "exchange/entity_store.h"

namespace veldra::test {

class RenderScene {
  public:
    RenderScene(int width = 200, int height = 150, double scale = 1.0) {
        InitStore(store);
        ConfigureAtStartup(attributes);
        view.viewWidth = width;
        view.viewHeight = height;
        SetWindow(0.0, 0.0, scale);
    }
    // Window with its lower-left corner at (left, bottom).
    void SetWindow(double left, double bottom, double scale) {
        view.viewLeft = left;
        view.viewBottom = bottom;
        view.viewScale = scale;
        view.viewRight = left + view.viewWidth / scale;
        view.viewTop = bottom + view.viewHeight / scale;
    }
    void SetBlackBackground() {
        attributes.SetBackground(kBackgroundBlack);
        attributes.BuildPenColors();
    }

    TJwwEntLine& Line(double x1, double y1, double x2, double y2, int lineType = 1, int color = 2) {
        TJwwEntLine& e = AppendEntity(store, store.lines, EntityKind::Line);
        e.head.color = color;
        e.head.lineType = lineType;
        e.x1 = x1, e.y1 = y1, e.x2 = x2, e.y2 = y2;
        return e;
    }
    TJwwEntCircle& Circle(double cx, double cy, double r, int color = 2) {
        TJwwEntCircle& e = AppendEntity(store, store.circles, EntityKind::Circle);
        e.head.color = color;
        e.head.lineType = 1;
        e.cx = cx, e.cy = cy, e.radius = r;
        return e;
    }
    TJwwEntArc& Arc(double cx, double cy, double r, double start, double end, int color = 2) {
        TJwwEntArc& e = AppendEntity(store, store.arcs, EntityKind::Arc);
        e.head.color = color;
        e.head.lineType = 1;
        e.cx = cx, e.cy = cy, e.radius = r;
        e.startAngle = start, e.endAngle = end, e.flatness = 1.0;
        return e;
    }
    TJwwEntText& Text(double x, double y, const std::string& text) {
        TJwwEntText& e = AppendEntity(store, store.texts, EntityKind::Text);
        e.x = x, e.y = y;
        e.text = text;
        return e;
    }
    TJwwEntSolid3& Triangle(double x1, double y1, double x2, double y2, double x3, double y3,
                            int color = 3) {
        TJwwEntSolid3& e = AppendEntity(store, store.solid3s, EntityKind::Solid3);
        e.head.color = color;
        e.x1 = x1, e.y1 = y1, e.x2 = x2, e.y2 = y2, e.x3 = x3, e.y3 = y3;
        return e;
    }

    // Clears the canvas and draws the entities (no frame, no origin mark).
    QImage DrawEntities(const AbortPoll& poll = {}, bool* stopped = nullptr) {
        TDrawContext context(view, attributes);
        TCanvas canvas(view.viewWidth, view.viewHeight);
        context.ClearCanvas(canvas, canvas.Width(), canvas.Height());
        TRenderTarget target{context, canvas, store.state, nullptr};
        const bool s = DrawAllEntities(target, store, poll);
        if (stopped != nullptr) *stopped = s;
        return canvas.Image().copy();
    }
    QImage DrawSolidsOnly() {
        TDrawContext context(view, attributes);
        TCanvas canvas(view.viewWidth, view.viewHeight);
        context.ClearCanvas(canvas, canvas.Width(), canvas.Height());
        TRenderTarget target{context, canvas, store.state, nullptr};
        DrawSolidsAndPictures(target, store);
        return canvas.Image().copy();
    }
    // The window's redraw: frame, origin mark and entities.
    QImage Redraw() {
        TDrawContext context(view, attributes);
        TCanvas canvas(view.viewWidth, view.viewHeight);
        RedrawViewOnto(context, canvas, store, {});
        return canvas.Image().copy();
    }

    TJwwEntityStore store;
    TgraAttribute attributes;
    TViewState view;
};

// Number of pixels that are not the colour `background` (0xRRGGBB).
inline int64_t InkedPixels(const QImage& image, QRgb background = 0xFFFFFFFF) {
    int64_t n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) ++n;
    return n;
}

}  // namespace veldra::test
