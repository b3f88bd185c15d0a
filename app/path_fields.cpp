#include "app/path_fields.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>

namespace veldra {

namespace {

constexpr int kEditSideMargin = 2;  // the edit box's own space beside its text

// The whole text as a tooltip where there is one.
bool ShowWholeText(QWidget& box, QEvent* event, const QString& text) {
    if (event->type() != QEvent::ToolTip) return false;
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, &box);
    }
    return true;
}

}  // namespace

QRect TPathEdit::TextRect() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    return contents.marginsRemoved(textMargins()).adjusted(kEditSideMargin, 0, -kEditSideMargin, 0);
}

QString TPathEdit::ShownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, TextRect().width());
}

bool TPathEdit::event(QEvent* event) {
    return ShowWholeText(*this, event, text()) || QLineEdit::event(event);
}

void TPathEdit::paintEvent(QPaintEvent* event) {
    const QString shown = ShownText();
    if (hasFocus() || shown == text()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(TextRect(), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

QString TPathLabel::ShownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

bool TPathLabel::event(QEvent* event) {
    return ShowWholeText(*this, event, text()) || QLabel::event(event);
}

void TPathLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), static_cast<int>(alignment()), ShownText());
}

}  // namespace veldra
