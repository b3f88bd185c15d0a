#include "app/escape_poll.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

namespace veldra {

TEscapePoll::TEscapePoll()
    : TEscapePoll(MakePlatformEscapeKeyReader(), [] { return std::chrono::steady_clock::now(); }) {}

TEscapePoll::TEscapePoll(std::unique_ptr<TEscapeKeyReader> reader, Clock clock)
    : reader_(std::move(reader)), clock_(std::move(clock)) {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installEventFilter(this);
}

TEscapePoll::~TEscapePoll() {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeEventFilter(this);
}

bool TEscapePoll::IsEscapeDown() {
    if (reader_ == nullptr) return escapeSeenDown_;
    const auto now = clock_();
    if (readDue_ || now - lastRead_ >= kEscapePollInterval) {
        lastDown_ = reader_->IsDown();
        lastRead_ = now;
        readDue_ = false;
    }
    return lastDown_;
}

bool TEscapePoll::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !key->isAutoRepeat())
            escapeSeenDown_ = type == QEvent::KeyPress;
    } else if (type == QEvent::ApplicationDeactivate) {
        escapeSeenDown_ = false;  // a release outside the window is never seen
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace veldra
