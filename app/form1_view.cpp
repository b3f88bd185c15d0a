// The paint box, and the window's side of the drawing view: the full redraw with the
// drawing's texts, the handlers of the paint box forwarding to the drawing view, and
// the view's wheel and keys.

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

#include "app/drawing_view.h"
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
    drawing_->Draw();
    DrawTexts(PaintBox1_->Canvas());
    drawing_->KeepBitmap();
    UpdateOutputLine();
    PaintBox1_->update();
}

void TForm1::PaintBox1Paint() {
    if (!drawing_->Repaint()) FitView();
}

void TForm1::FitView() {
    drawing_->Fit();
}

void TForm1::ZoomAt(QPoint globalPos, double factor) {
    drawing_->ZoomAt(globalPos, factor);
}

void TForm1::ZoomToRect(double x1, double y1, double x2, double y2) {
    drawing_->ZoomToRect(x1, y1, x2, y2);
}

void TForm1::ZoomOutAt(double x1, double y1, double x2, double y2) {
    drawing_->ZoomOutAt(x1, y1, x2, y2);
}

void TForm1::CentreViewAt(double x, double y) {
    drawing_->CentreAt(x, y);
}

void TForm1::PreviousView() {
    drawing_->Previous();
}

void TForm1::DrawRubberBand() {
    drawing_->DrawRubberBand();
}

void TForm1::PaintBox1MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers keys, QPoint pos,
                                bool doubleClick) {
    drawing_->MouseDown(buttons, keys, pos, doubleClick);
}

void TForm1::PaintBox1MouseMove(QPoint pos) {
    drawing_->MouseMove(pos);
}

// The first release ends the gesture and acts on the buttons collected since the press.
void TForm1::PaintBox1MouseUp(QPoint pos) {
    drawing_->MouseUp(pos);
}

// The wheel gives the view the keys (a text box keeps no caret the wheel moved past).
void TForm1::FormMouseWheelDown(QPoint globalPos) {
    PaintBox1_->setFocus();
    ZoomAt(globalPos, drawing_->ZoomStep());
}

void TForm1::FormMouseWheelUp(QPoint globalPos) {
    PaintBox1_->setFocus();
    ZoomAt(globalPos, 1 / drawing_->ZoomStep());
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
    TViewState& view = drawing_->View();
    const double share = (modifiers & Qt::ShiftModifier) ? 0.1 : 0.5;
    const double across = (view.viewRight - view.viewLeft) * share;
    const double upward = (view.viewTop - view.viewBottom) * share;
    const QPoint centre =
        PaintBox1_->mapToGlobal(QPoint(PaintBox1_->width() / 2, PaintBox1_->height() / 2));
    switch (key) {
        case Qt::Key_PageUp:
            ZoomAt(centre, drawing_->ZoomStep());
            return true;
        case Qt::Key_PageDown:
            ZoomAt(centre, 1 / drawing_->ZoomStep());
            return true;
        case Qt::Key_Home:
            FitView();
            return true;
        case Qt::Key_End:
        case Qt::Key_Insert:
            CentreOnExtents(view);
            RedrawView();
            return true;
        case Qt::Key_Left:
            PanView(view, -across, 0);
            RedrawView();
            return true;
        case Qt::Key_Right:
            PanView(view, across, 0);
            RedrawView();
            return true;
        case Qt::Key_Up:
            PanView(view, 0, upward);
            RedrawView();
            return true;
        case Qt::Key_Down:
            PanView(view, 0, -upward);
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
