#pragma once

// The fill picture drawn and saved in horizontal bands, so that a picture of any size
// the limits allow needs only one band's pixels at a time. Each band is drawn with the
// picture's own view, moved up by the band's first row (an integer number of pixels),
// so every band sets the same pixels the whole picture would: one band and many give
// the same file, byte for byte, at every colour depth.

#include <QImage>
#include <QPainterPath>
#include <QTransform>

#include <cstdint>
#include <filesystem>
#include <functional>

#include "exchange/entity_store.h"
#include "options/option_limits.h"
#include "view/view_state.h"

namespace veldra {

class TgraAttribute;
class TPictureCache;

// What the picture shows: background, the selection's solids and pictures, and the
// texture over the regions.
struct TPictureScene {
    const TJwwEntityStore& store;
    const TgraAttribute& attributes;
    TViewState view;          // the whole picture: its canvas is the picture
    QPainterPath regionPath;  // the regions in the picture's pixels
    QImage texture;
    QTransform brushTransform;       // texture pixels to the picture's pixels
    bool sampled = false;            // FillRegionPathSampled instead of the brush
    TPictureCache* cache = nullptr;  // decoded pictures, shared by the bands
};

// Rows firstRow .. firstRow + rows - 1 of the picture, 32-bit RGB.
QImage RenderPictureBand(const TPictureScene& scene, int32_t firstRow, int32_t rows);

// Pixels of one band's canvas at most: about 32 MB.
inline constexpr int64_t kBandPixels = int64_t{8} * 1024 * 1024;
// Rows of a band of a picture this wide: at least 1, at most the height.
int32_t BandRowsFor(int64_t width, int64_t height, int64_t bandPixels = kBandPixels);

// The saved picture scaled into the paint box: every pixel of the paint box that lies
// on the picture takes the picture pixel under its centre, the others keep `fill`.
class TPreviewSampler {
  public:
    TPreviewSampler(const TViewState& screenView, const TViewState& pictureView, QRgb fill);
    // Takes what it needs from the reduced rows firstRow.. of the picture.
    void Take(const QImage& reducedBand, int32_t firstRow);
    QImage Image() const { return image_; }

  private:
    QImage image_;
    std::vector<int32_t> sourceColumn_;  // per paint box column, -1 off the picture
    std::vector<int32_t> sourceRow_;     // per paint box row
};

// Called after each band with the part done (0..1); true asks to stop.
using TBandProgress = std::function<bool(double done)>;

enum class TBandedSaveResult { Saved, Failed, Cancelled };

struct TBandedSave {
    int bitsPerPixel = 24;
    int32_t bandRows = 0;  // 0: BandRowsFor the picture
    int32_t pixelsPerMetre = kScreenPixelsPerMetre;
    TBandProgress progress;              // may be empty
    TPreviewSampler* preview = nullptr;  // may be null
    QImage* whole = nullptr;  // when set and the picture is one band: the reduced picture
};

// Draws the picture band by band and writes it to `path` (1, 4 and 8 bits draw every
// band twice: once to choose the palette, once to write). Nothing is left at `path`'s
// temporary name on failure or when stopped, and an older file at `path` stays.
TBandedSaveResult SaveBandedPicture(const TPictureScene& scene, const std::filesystem::path& path,
                                    const TBandedSave& how);

}  // namespace veldra
