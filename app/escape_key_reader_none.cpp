// Platforms without a key state of their own: the toolkit's key events stand in.

#include "app/escape_key_reader.h"

namespace veldra {

std::unique_ptr<TEscapeKeyReader> MakePlatformEscapeKeyReader() {
    return nullptr;
}

}  // namespace veldra
