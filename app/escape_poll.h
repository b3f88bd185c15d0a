#pragma once

// Whether the Escape key is held down right now, asked by a long redraw between
// entities. The platform's key state is read where the platform has one (see
// escape_key_reader.h), at most once per poll interval: on X11 a reading is a round
// trip to the server, far slower than drawing ten lines. Elsewhere (offscreen,
// Wayland) the last Escape press or release seen by the application stands in.

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>

#include "app/escape_key_reader.h"

namespace veldra {

// Longest time a held Escape key goes unseen by a running redraw.
inline constexpr std::chrono::milliseconds kEscapePollInterval{25};

class TEscapePoll : public QObject {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // The platform's reader and the steady clock.
    TEscapePoll();
    // A given reader (null: key events only) and clock.
    TEscapePoll(std::unique_ptr<TEscapeKeyReader> reader, Clock clock);
    ~TEscapePoll() override;
    TEscapePoll(const TEscapePoll&) = delete;
    TEscapePoll& operator=(const TEscapePoll&) = delete;

    // A drawing pass begins: its first poll reads the key at once, so Escape held
    // from the start stops the pass before the second entity.
    void StartPass() { readDue_ = true; }

    // True while Escape is held down, as last read. Never waits, never processes events.
    bool IsEscapeDown();

    // True when the key state comes from the platform rather than from key events.
    bool ReadsPlatformKeyState() const { return reader_ != nullptr; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::unique_ptr<TEscapeKeyReader> reader_;
    Clock clock_;
    std::chrono::steady_clock::time_point lastRead_{};
    bool readDue_ = true;
    bool lastDown_ = false;
    bool escapeSeenDown_ = false;
};

}  // namespace veldra
