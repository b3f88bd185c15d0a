// Windows: the asynchronous key state of the Escape key, down while the most
// significant bit of the answer is set. Compiled on Windows only.

#include "app/escape_key_reader.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace veldra {

namespace {

class TWindowsEscapeKeyReader final : public TEscapeKeyReader {
  public:
    bool IsDown() override {
        return (static_cast<unsigned short>(GetAsyncKeyState(VK_ESCAPE)) & 0x8000u) != 0;
    }
};

}  // namespace

std::unique_ptr<TEscapeKeyReader> MakePlatformEscapeKeyReader() {
    return std::make_unique<TWindowsEscapeKeyReader>();
}

}  // namespace veldra
