#pragma once

// The platform's own reading of the Escape key. Each platform has one small file
// (escape_key_reader_<platform>.cpp); nothing else in the window calls the platform.

#include <memory>

namespace veldra {

class TEscapeKeyReader {
  public:
    virtual ~TEscapeKeyReader() = default;
    // True while Escape is held down. Never waits, never processes window events.
    virtual bool IsDown() = 0;
};

// The reader of the platform the toolkit runs on, or null where there is none
// (offscreen, Wayland).
std::unique_ptr<TEscapeKeyReader> MakePlatformEscapeKeyReader();

}  // namespace veldra
