// The drawing view's drawing steps on the paint box's canvas (through the shared
// drawing layer), its view changes and its mouse gestures.

#include "app/drawing_view.h"

#include <cmath>

#include "app/escape_poll.h"
#include "app/form1.h"
#include "attributes/gra_attribute.h"
#include "display/canvas/canvas.h"
#include "display/canvas/draw_context.h"
#include "display/render/view_redraw.h"
#include "exchange/entity_store.h"
#include "view/view_navigation.h"

namespace veldra {

namespace {
constexpr int32_t kSolidPen = 0;
constexpr int32_t kHollowBrush = 0;
constexpr int32_t kBandPenWidth = 3;
}  // namespace

TDrawingView::TDrawingView(TPaintBox& box, const TJwwEntityStore& store, TEscapePoll& escapePoll,
                           THooks hooks)
    : box_(box), store_(store), escapePoll_(escapePoll), hooks_(std::move(hooks)) {}

void TDrawingView::Draw() {
    BandVisible_ = false;
    TCanvas& canvas = box_.Canvas();
    if (const TgraAttribute* attributes = hooks_.attributes()) {
        TDrawContext context(view_, *attributes);
        escapePoll_.StartPass();
        RedrawViewOnto(context, canvas, store_, [this] { return escapePoll_.IsEscapeDown(); });
    }
    fillShown_ = false;
}

bool TDrawingView::Repaint() {
    BandVisible_ = false;
    if (ViewBitmap_.isNull()) return false;
    TCanvas& canvas = box_.Canvas();
    ClearView(canvas);
    DrawFrame(canvas, 0xFF0000);
    canvas.Draw(0, 0, ViewBitmap_);
    return true;
}

void TDrawingView::ShowPicture(const QImage& picture) {
    BandVisible_ = false;
    box_.Canvas().Draw(0, 0, picture);
    fillShown_ = true;
    box_.update();
}

void TDrawingView::Release() {
    ViewBitmap_ = QImage();
    WorkBitmap_ = QImage();
}

void TDrawingView::Fit() {
    veldra::FitView(view_, store_, box_.width(), box_.height());
    hooks_.redraw();
}

void TDrawingView::ZoomAt(QPoint globalPos, double factor) {
    const QPoint p = box_.mapFromGlobal(globalPos);
    veldra::ZoomAt(view_, p.x(), p.y(), factor);
    hooks_.redraw();
}

void TDrawingView::ZoomToRect(double x1, double y1, double x2, double y2) {
    veldra::ZoomToRect(view_, x1, y1, x2, y2, box_.width(), box_.height());
    hooks_.redraw();
}

void TDrawingView::ZoomOutAt(double x1, double y1, double x2, double y2) {
    veldra::ZoomOutAt(view_, x1, y1, x2, y2, box_.width(), box_.height());
    hooks_.redraw();
}

void TDrawingView::CentreAt(double x, double y) {
    veldra::CentreViewAt(view_, x, y, box_.width(), box_.height());
    hooks_.redraw();
}

void TDrawingView::Previous() {
    SwapPreviousView(view_);
    hooks_.redraw();
}

void TDrawingView::FollowSize() {
    view_.viewWidth = box_.width();
    view_.viewHeight = box_.height();
    if (!(view_.viewScale > 0.0)) return;
    const double cx = (view_.viewLeft + view_.viewRight) / 2;
    const double cy = (view_.viewBottom + view_.viewTop) / 2;
    view_.viewLeft = cx - view_.viewWidth / 2.0 / view_.viewScale;
    view_.viewBottom = cy - view_.viewHeight / 2.0 / view_.viewScale;
    view_.viewRight = cx + view_.viewWidth / 2.0 / view_.viewScale;
    view_.viewTop = cy + view_.viewHeight / 2.0 / view_.viewScale;
}

uint32_t TDrawingView::BandColor() const {
    const TgraAttribute* attributes = hooks_.attributes();
    return attributes && attributes->BackgroundMode() == kBackgroundBlack ? 0x0000FF : 0xFFFF00;
}

void TDrawingView::KeepBitmap() {
    ViewBitmap_ = box_.Canvas().Image().copy();
}

void TDrawingView::MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers keys, QPoint pos,
                             bool doubleClick) {
    if ((MouseButtons_ & (kMouseLeft | kMouseRight)) == 0) {
        PressX_ = pos.x();
        PressY_ = pos.y();
    }
    if (buttons & Qt::LeftButton) MouseButtons_ |= kMouseLeft;
    if (buttons & Qt::RightButton) MouseButtons_ |= kMouseRight;
    if (buttons & Qt::MiddleButton) MouseButtons_ |= kMouseMiddle;
    if (doubleClick) MouseButtons_ |= kMouseDouble;
    if (keys & Qt::ShiftModifier) MouseButtons_ |= kMouseShift;
    if (keys & Qt::AltModifier) MouseButtons_ |= kMouseAlt;
    if (keys & Qt::ControlModifier) MouseButtons_ |= kMouseCtrl;
    if (buttons & Qt::MiddleButton) {
        // The picture that follows the mouse while panning.
        WorkBitmap_ = box_.Canvas().Image().copy();
        PanPictureValid_ = !WorkBitmap_.isNull();
    }
}

void TDrawingView::MouseMove(QPoint pos) {
    const bool twoButtons = (MouseButtons_ & kMouseLeft) && (MouseButtons_ & kMouseRight);
    if (twoButtons) {
        if (BandVisible_) DrawRubberBand();
        BandX1_ = PressX_;
        BandY1_ = PressY_;
        BandX2_ = pos.x();
        BandY2_ = pos.y();
        DrawRubberBand();
        BandVisible_ = true;
    } else if ((MouseButtons_ & kMouseMiddle) && PanPictureValid_) {
        BandVisible_ = false;
        TCanvas& canvas = box_.Canvas();
        ClearView(canvas);
        canvas.Draw(pos.x() - PressX_, pos.y() - PressY_, WorkBitmap_);
    } else {
        if (MouseButtons_ == 0) hooks_.hover(pos);
        return;
    }
    box_.update();
}

// The first release ends the gesture and acts on the buttons collected since the press.
void TDrawingView::MouseUp(QPoint pos) {
    const double px = PixelToViewX(view_, PressX_), py = PixelToViewY(view_, PressY_);
    const double qx = PixelToViewX(view_, pos.x()), qy = PixelToViewY(view_, pos.y());
    const int32_t buttons = MouseButtons_;
    MouseButtons_ = 0;
    if ((buttons & kMouseLeft) && (buttons & kMouseRight)) {
        if (BandVisible_) DrawRubberBand();
        BandVisible_ = false;
        box_.update();
        const double t = 5 / view_.viewScale;
        if (std::fabs(qx - px) <= t || std::fabs(qy - py) <= t) {
            CentreAt(px, py);
        } else if (qx > px && qy < py) {
            ZoomToRect(px, py, qx, qy);  // dragged to the lower right
        } else if (qx < px && qy > py) {
            ZoomOutAt(px, py, qx, qy);  // to the upper left
        } else if (qx < px && qy < py) {
            Previous();  // to the lower left
        } else {
            Fit();  // to the upper right
        }
    } else if (buttons & kMouseMiddle) {
        WorkBitmap_ = QImage();
        PanPictureValid_ = false;
        PanView(view_, px - qx, py - qy);  // the drawing follows the mouse
        hooks_.redraw();
    } else if (buttons == kMouseLeft) {
        hooks_.click(QPoint(PressX_, PressY_), pos);  // picks a face in faces mode
    }
}

void TDrawingView::ClearView(TCanvas& canvas) {
    const TgraAttribute* attributes = hooks_.attributes();
    if (!attributes) return;
    TDrawContext context(view_, *attributes);
    context.ClearCanvas(canvas, canvas.Width(), canvas.Height());
}

void TDrawingView::DrawFrame(TCanvas& canvas, uint32_t color) {
    const TgraAttribute* attributes = hooks_.attributes();
    if (!attributes) return;
    TDrawContext context(view_, *attributes);
    context.SetCanvasPen(canvas, color, kSolidPen, 0);
    context.DrawScreenRect(canvas, 0, 0, canvas.Width() - 1, canvas.Height() - 1);
}

// Drawn a second time with the same corners, the band is gone again (XOR).
void TDrawingView::DrawRubberBand() {
    const TgraAttribute* attributes = hooks_.attributes();
    if (!attributes) return;
    TCanvas& canvas = box_.Canvas();
    TDrawContext context(view_, *attributes);
    context.SetXorMode(canvas);
    context.SetCanvasPen(canvas, BandColor(), kSolidPen, kBandPenWidth);
    context.SetCanvasBrush(canvas, 0, kHollowBrush);
    context.DrawScreenRect(canvas, BandX1_, BandY1_, BandX2_, BandY2_);
    box_.update();
}

}  // namespace veldra
