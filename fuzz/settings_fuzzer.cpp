// Fuzz target for the settings file: any bytes must read into values within the
// window's limits, and what is written back must read back to the same values. The
// texts then take the window's way through the Shift-JIS conversions.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/text_codec.h"
#include "common/code_page_932.h"
#include "options/settings_file.h"

namespace {

bool SameSettings(const veldra::TSettings& a, const veldra::TSettings& b) {
    return a.savedLeft == b.savedLeft && a.savedTop == b.savedTop && a.savedWidth == b.savedWidth &&
           a.savedHeight == b.savedHeight && a.outputName == b.outputName &&
           a.textureName == b.textureName && a.background == b.background &&
           a.arcDivisions == b.arcDivisions && a.colourDepth == b.colourDepth &&
           a.magnification == b.magnification;
}

// The window shows a text in an edit box and saves what the box holds.
void CheckCodecRoundTrip(std::string_view bytes) {
    using namespace veldra;
    const QString shown = FromShiftJis(bytes);
    const std::string saved = ToShiftJis(shown);
    // Once converted, a text is stable: the next load shows and saves the same bytes.
    if (ToShiftJis(FromShiftJis(saved)) != saved) std::abort();
    // A text with a Shift-JIS form for every character comes back as it was shown.
    if (EncodeCodePage932(shown.toStdU16String()).exact && FromShiftJis(saved) != shown)
        std::abort();
    (void)ToPath(shown);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace veldra;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TSettings s = ParseSettings(text);
    if (s.savedWidth < kMinWindowWidth || s.savedHeight < kMinWindowHeight) std::abort();
    if (s.background != 0 && s.background != 1) std::abort();
    if (s.colourDepth < 0 || s.colourDepth > kLastColourDepthItem) std::abort();
    if (s.magnification < kMinMagnification || s.magnification > kMaxMagnification) std::abort();
    // A line never holds a line break, or the file would gain a line when saved.
    for (const std::string* t : {&s.outputName, &s.textureName, &s.arcDivisions})
        if (t->find_first_of("\r\n") != std::string::npos) std::abort();

    if (!SameSettings(ParseSettings(FormatSettings(s)), s)) std::abort();

    CheckCodecRoundTrip(s.outputName);
    CheckCodecRoundTrip(s.textureName);
    return 0;
}
