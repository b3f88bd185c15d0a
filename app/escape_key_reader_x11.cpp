// X11: the Escape key's bit in the server's keymap (one round trip, no event
// processing, so no other handler can run during a redraw). Used only when the
// toolkit itself runs on X11.

#include <xcb/xcb.h>
#include <xcb/xproto.h>
#include <QGuiApplication>
#include <cstdlib>

#include "app/escape_key_reader.h"

namespace veldra {

namespace {

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

class TX11EscapeKeyReader final : public TEscapeKeyReader {
  public:
    // The connection is the toolkit's and outlives the reader.
    TX11EscapeKeyReader(xcb_connection_t* c, int keycode) : connection_(c), keycode_(keycode) {}

    bool IsDown() override {
        xcb_query_keymap_reply_t* reply =
            xcb_query_keymap_reply(connection_, xcb_query_keymap(connection_), nullptr);
        if (reply == nullptr) return false;
        const bool down = (reply->keys[keycode_ / 8] >> (keycode_ % 8)) & 1;
        std::free(reply);
        return down;
    }

  private:
    xcb_connection_t* connection_;
    int keycode_;
};

}  // namespace

std::unique_ptr<TEscapeKeyReader> MakePlatformEscapeKeyReader() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (c == nullptr || xcb_connection_has_error(c) != 0) return nullptr;
    const int keycode = FindEscapeKeycode(c);
    if (keycode < 0) return nullptr;
    return std::make_unique<TX11EscapeKeyReader>(c, keycode);
}

}  // namespace veldra
