#pragma once

// The full redraw of the view, shared by the window and the command line: the
// canvas cleared to the background, the frame, the origin mark and every entity.

#include "attributes/gra_attribute.h"
#include "common/abort_poll.h"
#include "display/canvas/draw_context.h"
#include "exchange/entity_store.h"

namespace veldra {

// Colour of the frame around the view (COLORREF) and of the origin mark.
inline constexpr ColorRef kViewFrameColor = 0xFFFF00;
inline constexpr ColorRef kOriginMarkColor = 0x0000FF;
inline constexpr int32_t kOriginMarkPenWidth = 2;
// Half length of the origin mark's arms in pixels.
inline constexpr double kOriginMarkPixels = 5.0;

// Draws the whole view onto the canvas (whose size is the view's). True when the
// abort poll stopped the entity pass; what was drawn until then stays.
bool RedrawViewOnto(TDrawContext& context, TCanvas& canvas, const TJwwEntityStore& store,
                    const AbortPoll& poll);

}  // namespace veldra
