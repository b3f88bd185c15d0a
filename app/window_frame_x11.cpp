// X11: the frame's origin is the position of the window's top-level ancestor (the
// window manager's frame, or the window itself without one) on the root window.
// The toolkit's own frame position goes stale when the manager moves the window at
// mapping, which made a restored window creep by the frame's size on every run.
//
// The X server counts device pixels, the toolkit logical ones. The frame is read and
// placed in device pixels and converted once each way (DeviceFromLogical): moved
// through the toolkit instead, the client area's position and the frame's margin
// are each rounded to logical pixels, and at a scale of 1.5 a saved position came
// back a pixel off.

#include <xcb/xcb.h>
#include <xcb/xproto.h>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/window_bounds.h"

namespace veldra {

namespace {

// What the X server has of a window: its frame and client area in device pixels,
// and the screen's scaling.
struct TNativeFrame {
    xcb_connection_t* connection = nullptr;
    xcb_window_t client = XCB_WINDOW_NONE, frame = XCB_WINDOW_NONE, root = XCB_WINDOW_NONE;
    QPoint frameAt, clientAt;
    QPoint screenOrigin;
    double ratio = 1.0;
};

// Frees an xcb reply when it goes out of scope.
template <class T>
struct TReply {
    T* reply;
    ~TReply() { std::free(reply); }
    T* operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

std::optional<TNativeFrame> NativeFrame(QWidget& window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    TNativeFrame f;
    f.connection = x11 ? x11->connection() : nullptr;
    xcb_connection_t* c = f.connection;
    if (c == nullptr || xcb_connection_has_error(c) != 0 ||
        !window.testAttribute(Qt::WA_WState_Created))
        return std::nullopt;
    f.client = f.frame = static_cast<xcb_window_t>(window.winId());
    for (int depth = 0; depth < 32; ++depth) {  // frames nest a few levels at most
        const TReply<xcb_query_tree_reply_t> tree{
            xcb_query_tree_reply(c, xcb_query_tree(c, f.frame), nullptr)};
        if (!tree) return std::nullopt;
        f.root = tree->root;
        if (tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE) break;
        f.frame = tree->parent;
    }
    const TReply<xcb_get_geometry_reply_t> g{
        xcb_get_geometry_reply(c, xcb_get_geometry(c, f.frame), nullptr)};
    const TReply<xcb_translate_coordinates_reply_t> at{xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, f.client, f.root, 0, 0), nullptr)};
    if (!g || !at) return std::nullopt;
    f.frameAt = QPoint(g->x, g->y);
    f.clientAt = QPoint(at->dst_x, at->dst_y);
    // The toolkit scales positions about the screen's origin, which it leaves as the
    // device pixels have it.
    const QScreen* screen = window.screen();
    f.screenOrigin = screen ? screen->geometry().topLeft() : QPoint();
    f.ratio = window.devicePixelRatioF();
    return f;
}

QPoint ToLogical(const TNativeFrame& f, QPoint device) {
    return {LogicalFromDevice(device.x(), f.screenOrigin.x(), f.ratio),
            LogicalFromDevice(device.y(), f.screenOrigin.y(), f.ratio)};
}

QPoint ToDevice(const TNativeFrame& f, QPoint logical) {
    return {DeviceFromLogical(logical.x(), f.screenOrigin.x(), f.ratio),
            DeviceFromLogical(logical.y(), f.screenOrigin.y(), f.ratio)};
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    const TReply<xcb_intern_atom_reply_t> atom{xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr)};
    return atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// True when the window manager lists `atom` among what it supports (_NET_SUPPORTED).
bool ManagerSupports(xcb_connection_t* c, xcb_window_t root, xcb_atom_t atom) {
    const xcb_atom_t supported = Atom(c, "_NET_SUPPORTED");
    if (supported == XCB_ATOM_NONE || atom == XCB_ATOM_NONE) return false;
    const TReply<xcb_get_property_reply_t> list{xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, supported, XCB_ATOM_ATOM, 0, 4096), nullptr)};
    if (!list || list->format != 32) return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(list.reply));
    const int count = xcb_get_property_value_length(list.reply) / 4;
    return std::find(atoms, atoms + count, atom) != atoms + count;
}

}  // namespace

std::optional<QPoint> PlatformFrameOrigin(QWidget& window) {
    const std::optional<TNativeFrame> f = NativeFrame(window);
    if (!f) return std::nullopt;
    return ToLogical(*f, f->frameAt);
}

bool PlaceFrame(QWidget& window, QPoint origin) {
    const std::optional<TNativeFrame> f = NativeFrame(window);
    if (!f) return false;
    const QPoint shift = ToDevice(*f, origin) - f->frameAt;
    if (shift.isNull()) return true;
    // The frame moves with its client area: the client goes by the same device pixels.
    const QPoint client = f->clientAt + shift;
    xcb_connection_t* c = f->connection;
    if (f->frame == f->client) {
        // No window manager: the window itself is moved.
        const uint32_t values[] = {static_cast<uint32_t>(client.x()),
                                   static_cast<uint32_t>(client.y())};
        xcb_configure_window(c, f->client, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    } else {
        // A managed window asks its manager (_NET_MOVERESIZE_WINDOW): x and y only,
        // static gravity (they are the client area's own corner), from an application.
        const xcb_atom_t moveResize = Atom(c, "_NET_MOVERESIZE_WINDOW");
        if (!ManagerSupports(c, f->root, moveResize)) {
            // A manager without it: the toolkit's move, to the logical pixel.
            window.move(window.pos() + (origin - ToLogical(*f, f->frameAt)));
            return true;
        }
        constexpr uint32_t kStaticGravity = 10, kSetX = 1u << 8, kSetY = 1u << 9,
                           kFromApplication = 1u << 12;
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = f->client;
        event.type = moveResize;
        event.data.data32[0] = kStaticGravity | kSetX | kSetY | kFromApplication;
        event.data.data32[1] = static_cast<uint32_t>(client.x());
        event.data.data32[2] = static_cast<uint32_t>(client.y());
        xcb_send_event(c, 0, f->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(c);
    return true;
}

}  // namespace veldra
