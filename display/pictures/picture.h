#pragma once

// Drawing of picture files into frames of the view: the picture keeps the frame's
// width and its own aspect ratio, frames of 8 pixels or less show a white
// placeholder, and a trimmed placement shows part of a bitmap. Bitmaps, icons,
// WMF and EMF are drawn; the converted formats (PNG, JPEG, ...) are handed to the
// conversion module, which converts nothing here, so they draw nothing.

#include <string_view>

#include "display/canvas/draw_context.h"

namespace veldra {

class TPictureCache;
struct TMetafilePlayback;

// Draws `file` (Shift-JIS bytes) into the frame from (x1, y1) towards (x2, y2), in
// view units. `cache` (may be null) keeps decoded pictures for one drawing pass;
// `metafiles` (may be null) carries the abort poll into metafiles and records
// whether it stopped one.
void DrawPicture(TDrawContext& context, TCanvas& canvas, double x1, double y1, double x2, double y2,
                 std::string_view file, TPictureCache* cache = nullptr,
                 TMetafilePlayback* metafiles = nullptr);

// The same showing only a part: trim x and trim y are the left and bottom edge of
// the part as fractions of the picture, trim size its size as a fraction of both.
// Metafiles and icons are drawn whole, with the aspect ratio of the part.
void DrawTrimmedPicture(TDrawContext& context, TCanvas& canvas, double x1, double y1, double x2,
                        double y2, double trimX, double trimY, double trimSize,
                        std::string_view file, TPictureCache* cache = nullptr,
                        TMetafilePlayback* metafiles = nullptr);

}  // namespace veldra
