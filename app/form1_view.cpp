// The drawing view: the full redraw into the paint box and ViewBitmap, painting,
// and the view changes by mouse gestures, wheel and keys.

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <cmath>

#include "app/form1.h"
#include "display/canvas/canvas.h"
#include "view/view_navigation.h"

namespace veldra {

TPaintBox::TPaintBox(TForm1& form, QWidget* parent) : QWidget(parent), form_(form) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // the face under the cursor is highlighted
    // A click on the drawing or Tab gives the view the keys; a thin frame shows it.
    setFocusPolicy(Qt::StrongFocus);
}

void TPaintBox::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TPaintBox::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

TPaintBox::~TPaintBox() = default;

bool TPaintBox::HasCanvas() const {
    return canvas_ && canvas_->Width() == std::max(1, width()) &&
           canvas_->Height() == std::max(1, height());
}

TCanvas& TPaintBox::Canvas() {
    if (!HasCanvas()) canvas_ = std::make_unique<TCanvas>(width(), height());
    return *canvas_;
}

// A canvas that does not match the widget (first showing, resizing) is repainted
// by the window; otherwise the canvas is put on screen as it stands.
void TPaintBox::paintEvent(QPaintEvent*) {
    if (!HasCanvas()) form_.PaintBox1Paint();
    QPainter painter(this);
    painter.drawImage(0, 0, Canvas().Image());
    form_.PaintRegionOverlay(painter);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    form_.PaintBox1MouseDown(event->buttons(), event->modifiers(), event->position().toPoint(),
                             false);
}

void TPaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
    form_.PaintBox1MouseDown(event->buttons(), event->modifiers(), event->position().toPoint(),
                             true);
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    form_.PaintBox1MouseMove(event->position().toPoint());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    form_.PaintBox1MouseUp(event->position().toPoint());
}

void TForm1::RedrawView() {
    if (!ViewReady_ || !attributes_) return;
    BandVisible_ = false;
    TCanvas& canvas = PaintBox1_->Canvas();
    DrawView(canvas);
    DrawTexts(canvas);
    fillShown_ = false;
    ViewBitmap_ = canvas.Image().copy();
    UpdateOutputLine();
    PaintBox1_->update();
}

void TForm1::PaintBox1Paint() {
    BandVisible_ = false;
    if (ViewBitmap_.isNull()) {
        FitView();
        return;
    }
    TCanvas& canvas = PaintBox1_->Canvas();
    ClearView(canvas);
    DrawFrame(canvas, 0xFF0000);
    canvas.Draw(0, 0, ViewBitmap_);
}

void TForm1::FitView() {
    veldra::FitView(view_, store_, PaintBox1_->width(), PaintBox1_->height());
    RedrawView();
}

QPoint TForm1::PaintBoxPixel(QPoint globalPos) const {
    return PaintBox1_->mapFromGlobal(globalPos);
}

void TForm1::ZoomAt(QPoint globalPos, double factor) {
    const QPoint p = PaintBoxPixel(globalPos);
    veldra::ZoomAt(view_, p.x(), p.y(), factor);
    RedrawView();
}

void TForm1::ZoomToRect(double x1, double y1, double x2, double y2) {
    veldra::ZoomToRect(view_, x1, y1, x2, y2, PaintBox1_->width(), PaintBox1_->height());
    RedrawView();
}

void TForm1::ZoomOutAt(double x1, double y1, double x2, double y2) {
    veldra::ZoomOutAt(view_, x1, y1, x2, y2, PaintBox1_->width(), PaintBox1_->height());
    RedrawView();
}

void TForm1::CentreViewAt(double x, double y) {
    veldra::CentreViewAt(view_, x, y, PaintBox1_->width(), PaintBox1_->height());
    RedrawView();
}

void TForm1::PreviousView() {
    SwapPreviousView(view_);
    RedrawView();
}

uint32_t TForm1::BandColor() const {
    return attributes_ && attributes_->BackgroundMode() == kBackgroundBlack ? 0x0000FF : 0xFFFF00;
}

void TForm1::PaintBox1MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers keys, QPoint pos,
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
        WorkBitmap_ = PaintBox1_->Canvas().Image().copy();
        PanPictureValid_ = !WorkBitmap_.isNull();
    }
}

void TForm1::PaintBox1MouseMove(QPoint pos) {
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
        TCanvas& canvas = PaintBox1_->Canvas();
        ClearView(canvas);
        canvas.Draw(pos.x() - PressX_, pos.y() - PressY_, WorkBitmap_);
    } else {
        if (MouseButtons_ == 0) RegionHover(pos);
        return;
    }
    PaintBox1_->update();
}

// The first release ends the gesture and acts on the buttons collected since the press.
void TForm1::PaintBox1MouseUp(QPoint pos) {
    const double px = PixelToViewX(view_, PressX_), py = PixelToViewY(view_, PressY_);
    const double qx = PixelToViewX(view_, pos.x()), qy = PixelToViewY(view_, pos.y());
    const int32_t buttons = MouseButtons_;
    MouseButtons_ = 0;
    if ((buttons & kMouseLeft) && (buttons & kMouseRight)) {
        if (BandVisible_) DrawRubberBand();
        BandVisible_ = false;
        PaintBox1_->update();
        const double t = 5 / view_.viewScale;
        if (std::fabs(qx - px) <= t || std::fabs(qy - py) <= t) {
            CentreViewAt(px, py);
        } else if (qx > px && qy < py) {
            ZoomToRect(px, py, qx, qy);  // dragged to the lower right
        } else if (qx < px && qy > py) {
            ZoomOutAt(px, py, qx, qy);  // to the upper left
        } else if (qx < px && qy < py) {
            PreviousView();  // to the lower left
        } else {
            FitView();  // to the upper right
        }
    } else if (buttons & kMouseMiddle) {
        WorkBitmap_ = QImage();
        PanPictureValid_ = false;
        PanView(view_, px - qx, py - qy);  // the drawing follows the mouse
        RedrawView();
    } else if (buttons == kMouseLeft) {
        RegionClick(QPoint(PressX_, PressY_), pos);  // picks a face in faces mode
    }
}

// The wheel gives the view the keys (a text box keeps no caret the wheel moved past).
void TForm1::FormMouseWheelDown(QPoint globalPos) {
    PaintBox1_->setFocus();
    ZoomAt(globalPos, ZoomStep_);
}

void TForm1::FormMouseWheelUp(QPoint globalPos) {
    PaintBox1_->setFocus();
    ZoomAt(globalPos, 1 / ZoomStep_);
}

// The view owns its keys while it has the focus (or nothing has). A control keeps the
// keys it edits or steps with: a text box its caret keys, the slider, spin boxes and
// lists their arrows and pages, the radio buttons their arrows. The zoom keys
// (Page Up, Page Down) and Escape reach the view from any other control.
bool TForm1::ViewTakesKey(const QWidget* focus, int key) const {
    if (key == Qt::Key_Escape) return true;
    if (focus == nullptr || focus == PaintBox1_ || focus == this) return true;
    const bool zoomKey = key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    if (!zoomKey) return false;
    const bool stepsWithPages =
        qobject_cast<const QAbstractSlider*>(focus) ||
        qobject_cast<const QAbstractSpinBox*>(focus) || qobject_cast<const QComboBox*>(focus) ||
        qobject_cast<const QPlainTextEdit*>(focus) ||
        (focus->parentWidget() && (qobject_cast<const QAbstractSpinBox*>(focus->parentWidget()) ||
                                   qobject_cast<const QComboBox*>(focus->parentWidget())));
    return !stepsWithPages;
}

bool TForm1::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const double share = (modifiers & Qt::ShiftModifier) ? 0.1 : 0.5;
    const double across = (view_.viewRight - view_.viewLeft) * share;
    const double upward = (view_.viewTop - view_.viewBottom) * share;
    const QPoint centre =
        PaintBox1_->mapToGlobal(QPoint(PaintBox1_->width() / 2, PaintBox1_->height() / 2));
    switch (key) {
        case Qt::Key_PageUp:
            ZoomAt(centre, ZoomStep_);
            return true;
        case Qt::Key_PageDown:
            ZoomAt(centre, 1 / ZoomStep_);
            return true;
        case Qt::Key_Home:
            FitView();
            return true;
        case Qt::Key_End:
        case Qt::Key_Insert:
            CentreOnExtents(view_);
            RedrawView();
            return true;
        case Qt::Key_Left:
            PanView(view_, -across, 0);
            RedrawView();
            return true;
        case Qt::Key_Right:
            PanView(view_, across, 0);
            RedrawView();
            return true;
        case Qt::Key_Up:
            PanView(view_, 0, upward);
            RedrawView();
            return true;
        case Qt::Key_Down:
            PanView(view_, 0, -upward);
            RedrawView();
            return true;
        case Qt::Key_Escape:
            StopWork();  // the key event itself: a tap between two polls still counts
            return true;
        default:
            return false;
    }
}

}  // namespace veldra
