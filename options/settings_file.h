#pragma once

// The settings file beside the executable: CR LF lines in code page 932 that
// restore the window bounds and the options panel. Pure data, no toolkit.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/file_system.h"
#include "options/fill_options.h"

namespace veldra {

inline constexpr int32_t kMinWindowWidth = 475;
inline constexpr int32_t kMinWindowHeight = 200;

// Values as the window uses them; texts are Shift-JIS bytes.
struct TSettings {
    int32_t savedLeft = 0;
    int32_t savedTop = 0;
    int32_t savedWidth = kMinWindowWidth;
    // The default height is the default width, not the minimum height.
    int32_t savedHeight = 475;
    std::string outputName;   // Edit1
    std::string textureName;  // Edit2
    // 0 white, 1 black; `backgroundLoaded` tells whether the file set it.
    int32_t background = 0;
    bool backgroundLoaded = false;
    // Texts the user typed stay as typed: the panel shows them again as they were, and
    // the fill reads them (ArcDivisionsOfText, ParseGapTolerance) when it runs.
    std::string arcDivisions = "24";                // Edit3
    int32_t colourDepth = 3;                        // ComboBox1 item (BitsPerPixelOfDepthItem)
    int32_t magnification = kDefaultMagnification;  // TrackBar1 position
    // Region options, lines 11 to 13; a file of ten lines leaves these defaults.
    TRegionMode regionMode = TRegionMode::Chain;
    std::string gapTolerance = "0";  // "すき間許容" in paper mm, as typed
    TIslandMode islandMode = TIslandMode::Normal;
    // The picture for print, lines 14 to 17 (after the three lines of the region options).
    TPrintOptions print;
    // The view (lines 18 and 19): the drawing's texts shown ("文字表示", 1 on, 0 off)
    // and the unit of the gap tolerance (0 "図寸" paper mm, 1 "実寸" real-size mm).
    bool showTexts = true;
    int32_t gapUnit = 0;
};

// The settings file of an executable: its path with the extension replaced by ".dat".
std::filesystem::path SettingsPathFor(const std::filesystem::path& executable);

// Applies the text of a settings file to the defaults with every limit of
// option_limits.h (a tile width or angle beyond them turns the option off); a file that
// ends early reads its missing lines as empty text.
TSettings ParseSettings(std::string_view text);
// The lines, each ended by CR LF: the ten of the window and panel, the region options
// (11 to 13) and the picture for print (14 to 17).
std::string FormatSettings(const TSettings& settings);

// Defaults when the file is missing, unreadable or no regular file (a FIFO is never
// waited on); `problem` tells which.
TSettings LoadSettings(const std::filesystem::path& path, TFileProblem* problem = nullptr);
// Writes a new temporary file beside `path` (never through a link found at its name)
// and renames it over the old one, so a failed write leaves the old settings
// untouched. False when nothing was replaced; `problem` tells why.
bool SaveSettings(const std::filesystem::path& path, const TSettings& settings,
                  TFileProblem* problem = nullptr);

}  // namespace veldra
