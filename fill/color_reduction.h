#pragma once

// Colour reduction of the fill picture for bitmaps of 1, 4 and 8 bits per pixel.
//
// A picture that holds no more distinct colours than the depth allows keeps them
// all exactly (palette in order of first appearance, top row first). Otherwise the
// picture is reduced to a fixed palette with Floyd-Steinberg error diffusion:
//  - 1 bit: black and white, diffused on luminance, so a texture keeps its tone;
//  - 4 bits: the 16 standard colours of Windows' 16-colour bitmaps;
//  - 8 bits: those 16 colours, the 6x6x6 colour cube and 32 further greys.
// Colours that are in the fixed palette come out unchanged (no error to diffuse),
// so a white or black background and the standard colours stay flat.

#include <QHash>
#include <QImage>
#include <QList>
#include <QRgb>

#include <memory>

namespace veldra {

// The fixed palette of a depth (1, 4 or 8 bits): 2, 16 or 256 opaque colours.
QList<QRgb> StandardPalette(int bitsPerPixel);

// The canvas reduced for a bitmap of the depth: a Format_Indexed8 image with at most
// 2^bits colours for 1, 4 and 8 bits; an opaque Format_RGB32 copy for 24 and 32 bits.
// A null image for a null canvas or another depth.
QImage ReduceColors(const QImage& canvas, int bitsPerPixel);

// The same reduction for a picture given in horizontal bands, top band first: all bands
// go through Survey (which colours occur, in order of first appearance), then, drawn
// again, through Reduce. The result is the same as ReduceColors of the whole picture:
// the palette is chosen over all bands, and the error of the diffusion runs on from
// the last row of one band into the first row of the next.
class TColorReducer {
  public:
    TColorReducer(int bitsPerPixel, int width);
    ~TColorReducer();
    TColorReducer(const TColorReducer&) = delete;
    TColorReducer& operator=(const TColorReducer&) = delete;

    // Whether the depth needs the survey (1, 4 and 8 bits).
    bool NeedsSurvey() const { return indexed_; }
    void Survey(const QImage& band);
    // The palette of the file: the colours found, or the fixed one when there were too many.
    QList<QRgb> ColorTable() const;
    // A band reduced: Format_Indexed8 with ColorTable() for 1, 4 and 8 bits, an opaque
    // Format_RGB32 copy for 24 and 32 bits, null for another depth.
    QImage Reduce(const QImage& band);

  private:
    class Diffuser;
    int bits_;
    int width_;
    bool indexed_ = false;
    bool overflow_ = false;
    QList<QRgb> exact_;
    QHash<QRgb, int> indexOf_;
    std::unique_ptr<Diffuser> diffuser_;
};

}  // namespace veldra
