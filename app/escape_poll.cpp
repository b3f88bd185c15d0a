#include "app/escape_poll.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <cstdlib>

#ifdef VELDRA_HAVE_XCB
#include <xcb/xcb.h>
#include <xcb/xproto.h>
#endif

namespace veldra {

namespace {

#ifdef VELDRA_HAVE_XCB
constexpr xcb_keysym_t kEscapeKeysym = 0xff1b;

// The keycode the server's keyboard mapping gives the Escape keysym, or -1.
int FindEscapeKeycode(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup == nullptr || setup->max_keycode < setup->min_keycode) return -1;
    const uint8_t count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, count), nullptr);
    if (reply == nullptr) return -1;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int total = xcb_get_keyboard_mapping_keysyms_length(reply);
    const int perCode = reply->keysyms_per_keycode;
    int keycode = -1;
    for (int i = 0; perCode > 0 && i < total; ++i) {
        if (syms[i] == kEscapeKeysym) {
            keycode = setup->min_keycode + i / perCode;
            break;
        }
    }
    std::free(reply);
    return keycode;
}
#endif

}  // namespace

TEscapePoll::TEscapePoll() {
#ifdef VELDRA_HAVE_XCB
    if (auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        auto* c = x11->connection();
        if (c != nullptr && xcb_connection_has_error(c) == 0) {
            escapeKeycode_ = FindEscapeKeycode(c);
            if (escapeKeycode_ >= 0) connection_ = c;
        }
    }
#endif
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installEventFilter(this);
}

TEscapePoll::~TEscapePoll() {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeEventFilter(this);
}

bool TEscapePoll::IsEscapeDown() {
#ifdef VELDRA_HAVE_XCB
    if (connection_ != nullptr) {
        auto* c = static_cast<xcb_connection_t*>(connection_);
        xcb_query_keymap_reply_t* reply = xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr);
        if (reply == nullptr) return false;
        const bool down = (reply->keys[escapeKeycode_ / 8] >> (escapeKeycode_ % 8)) & 1;
        std::free(reply);
        return down;
    }
#endif
    return escapeSeenDown_;
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
