#include "display/render/view_redraw.h"

#include "display/pictures/picture_decode.h"
#include "display/render/render.h"

namespace veldra {

bool RedrawViewOnto(TDrawContext& context, TCanvas& canvas, const TJwwEntityStore& store,
                    const AbortPoll& poll) {
    const TViewState& view = context.View();
    context.ClearCanvas(canvas, canvas.Width(), canvas.Height());
    context.SetCanvasPen(canvas, kViewFrameColor, 0, 0);
    context.DrawScreenRect(canvas, 0, 0, view.viewWidth - 1, view.viewHeight - 1);

    context.SetCanvasPen(canvas, kOriginMarkColor, 0, kOriginMarkPenWidth);
    const double d = kOriginMarkPixels / view.viewScale;
    context.DrawWorldLine(canvas, -d, 0.0, d, 0.0);
    context.DrawWorldLine(canvas, 0.0, -d, 0.0, d);

    // Pictures placed several times are decoded once per redraw.
    TPictureCache pictures;
    TRenderTarget target{context, canvas, store.state, &pictures};
    return DrawAllEntities(target, store, poll);
}

}  // namespace veldra
