#pragma once

// Whether the Escape key is held down right now, asked by a long redraw between
// entities. On X11 the key state comes straight from the server's keymap (one
// round trip, no event processing, so no other handler can run during a redraw).
// Elsewhere (offscreen, Wayland) the last Escape press or release seen by the
// application's event filter stands in.

#include <QObject>

namespace veldra {

class TEscapePoll : public QObject {
  public:
    TEscapePoll();
    ~TEscapePoll() override;
    TEscapePoll(const TEscapePoll&) = delete;
    TEscapePoll& operator=(const TEscapePoll&) = delete;

    // True while Escape is held down. Never waits for input, never processes events.
    bool IsEscapeDown();

    // True when the key state is read from the X server.
    bool ReadsServerKeymap() const { return connection_ != nullptr; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void* connection_ = nullptr;  // xcb_connection_t*, owned by the toolkit
    int escapeKeycode_ = -1;
    bool escapeSeenDown_ = false;
};

}  // namespace veldra
