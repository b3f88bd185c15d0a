// X11: the frame's origin is the position of the window's top-level ancestor (the
// window manager's frame, or the window itself without one) on the root window.
// The toolkit's own frame position goes stale when the manager moves the window at
// mapping, which made a restored window creep by the frame's size on every run.

#include <xcb/xcb.h>
#include <xcb/xproto.h>
#include <QGuiApplication>
#include <QWidget>
#include <cmath>
#include <cstdlib>

#include "app/window_bounds.h"

namespace veldra {

std::optional<QPoint> PlatformFrameOrigin(QWidget& window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (c == nullptr || xcb_connection_has_error(c) != 0 ||
        !window.testAttribute(Qt::WA_WState_Created))
        return std::nullopt;
    auto w = static_cast<xcb_window_t>(window.winId());
    for (int depth = 0; depth < 32; ++depth) {  // frames nest a few levels at most
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr);
        if (tree == nullptr) return std::nullopt;
        const xcb_window_t parent = tree->parent, root = tree->root;
        std::free(tree);
        if (parent == root || parent == XCB_WINDOW_NONE) break;
        w = parent;
    }
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    if (g == nullptr) return std::nullopt;
    const QPoint native(g->x, g->y);
    std::free(g);
    // The X server counts device pixels; the toolkit's positions are logical ones
    // (QT_SCALE_FACTOR, high-DPI screens): divide by the window's pixel ratio.
    const double ratio = window.devicePixelRatioF();
    if (!(ratio > 0) || ratio == 1.0) return native;
    return QPoint(static_cast<int>(std::lround(native.x() / ratio)),
                  static_cast<int>(std::lround(native.y() / ratio)));
}

}  // namespace veldra
