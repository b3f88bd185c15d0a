#pragma once

// The drawing view: what PaintBox1 shows of the selection and how the user moves it.
// It keeps the view window, draws the selection into the paint box's canvas, keeps
// ViewBitmap (the last full redraw) and turns the mouse gestures (the two-button band,
// the middle-button pan) into view changes. The window keeps the handlers' names and
// forwards to it; every view change ends with the window's redraw.

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <functional>

#include "view/view_state.h"

namespace veldra {

class TCanvas;
class TEscapePoll;
class TgraAttribute;
class TPaintBox;
struct TJwwEntityStore;

// Mouse state bits of a gesture.
inline constexpr int32_t kMouseLeft = 1;
inline constexpr int32_t kMouseRight = 2;
inline constexpr int32_t kMouseMiddle = 4;
inline constexpr int32_t kMouseDouble = 8;
inline constexpr int32_t kMouseShift = 16;
inline constexpr int32_t kMouseAlt = 32;
inline constexpr int32_t kMouseCtrl = 64;

class TDrawingView {
  public:
    // What the view asks of the window.
    struct THooks {
        std::function<const TgraAttribute*()> attributes;         // null once the window closed
        std::function<void()> redraw;                             // the window's full redraw
        std::function<void(QPoint)> hover;                        // moved without a button
        std::function<void(QPoint press, QPoint release)> click;  // a left click ended
    };

    TDrawingView(TPaintBox& box, const TJwwEntityStore& store, TEscapePoll& escapePoll,
                 THooks hooks);

    TViewState& View() { return view_; }
    const TViewState& View() const { return view_; }
    const QImage& Bitmap() const { return ViewBitmap_; }
    double ZoomStep() const { return ZoomStep_; }
    // True while the fill picture stands in the view (no tint over it).
    bool FillShown() const { return fillShown_; }

    // The selection drawn anew into the canvas.
    void Draw();
    // ViewBitmap: the canvas as the full redraw left it.
    void KeepBitmap();
    // The paint box's picture after its canvas was made anew; false when there is no
    // full redraw yet (the window fits the view first).
    bool Repaint();
    // The fill picture as saved stands in the view until the next redraw.
    void ShowPicture(const QImage& picture);
    // The fill picture went: the next paint shows the drawing.
    void PictureGone() { fillShown_ = false; }
    // The bitmaps go (the window closing).
    void Release();

    void Fit();
    void ZoomAt(QPoint globalPos, double factor);
    void ZoomToRect(double x1, double y1, double x2, double y2);
    void ZoomOutAt(double x1, double y1, double x2, double y2);
    void CentreAt(double x, double y);
    void Previous();
    void DrawRubberBand();
    // A new paint box size keeps the view's centre and scale.
    void FollowSize();

    void MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers keys, QPoint pos,
                   bool doubleClick);
    void MouseMove(QPoint pos);
    void MouseUp(QPoint pos);

  private:
    void ClearView(TCanvas& canvas);
    void DrawFrame(TCanvas& canvas, uint32_t color);
    // The rubber band's colour on the current background.
    uint32_t BandColor() const;

    TPaintBox& box_;
    const TJwwEntityStore& store_;
    TEscapePoll& escapePoll_;
    THooks hooks_;

    TViewState view_;
    double ZoomStep_ = 1.5;
    QImage ViewBitmap_;  // null when there is none
    QImage WorkBitmap_;  // null when there is none
    bool fillShown_ = false;
    // Mouse state of the view.
    int32_t MouseButtons_ = 0;
    int32_t PressX_ = 0, PressY_ = 0;
    bool BandVisible_ = false;
    int32_t BandX1_ = 0, BandY1_ = 0, BandX2_ = 0, BandY2_ = 0;
    bool PanPictureValid_ = false;
};

}  // namespace veldra
