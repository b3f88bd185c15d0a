#pragma once

// Graphic attributes: turns the attribute codes of entities (colour number, line
// type number, layer key) into what is drawn, and holds the background mode.
// One instance per window; the drawing code receives it by reference.

#include <cstdint>
#include <string>
#include <vector>

#include "attributes/line_types.h"

namespace veldra {

// Platform colour value r + 256*g + 65536*b (0x00BBGGRR).
using ColorRef = uint32_t;

constexpr ColorRef MakeColorRef(uint32_t r, uint32_t g, uint32_t b) {
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr uint32_t ColorRefRed(ColorRef c) {
    return c & 0xFFu;
}
constexpr uint32_t ColorRefGreen(ColorRef c) {
    return (c >> 8) & 0xFFu;
}
constexpr uint32_t ColorRefBlue(ColorRef c) {
    return (c >> 16) & 0xFFu;
}

inline constexpr int kLayerKeyCount = 256;
inline constexpr int kPenCount = 265;

inline constexpr int32_t kLayerNormal = 1;  // drawn in its colour
inline constexpr int32_t kLayerGray = 2;    // drawn in GrayColor
inline constexpr int32_t kLayerHidden = 3;  // not drawn

inline constexpr int32_t kBackgroundWhite = 0;
inline constexpr int32_t kBackgroundBlack = 1;

// The auxiliary colour number and line type number (construction lines).
inline constexpr int32_t kAuxiliaryColor = 9;
inline constexpr int32_t kAuxiliaryLineType = 9;

// One record per layer key (layer group * 16 + layer).
struct TjwvLayer {
    int32_t State = kLayerNormal;
    double Scale = 1.0;
    std::string GroupLabel;  // "[A] " for group 10
    std::string LayerLabel;  // "(F) " for layer 15
};

struct TgraPen {
    ColorRef Color = 0;
    double Width = 0.0;  // millimetres on paper
};

class TgraAttribute {
  public:
    // Allocates the three tables with their fixed lengths, then InitDefaults.
    TgraAttribute();

    // Line width mode off, white background, gray 0x808080, then all tables rebuilt.
    void InitDefaults();

    void SetLineWidthMode(bool on) { lineWidthMode_ = on; }
    bool LineWidthMode() const { return lineWidthMode_; }

    void BuildLayerTable();
    // All pens to ForegroundColor, then colour numbers 1..9 and 101..116 from the
    // column of the current background mode.
    void BuildPenColors();
    // All pens 0.18 mm, then colour numbers 1..9.
    void BuildPenWidths();
    void BuildLineTypes();

    // 0 white, 1 black; any other value changes nothing. Does not rebuild the pen
    // colours: the caller runs BuildPenColors next.
    void SetBackground(int32_t mode);
    int32_t BackgroundMode() const { return backgroundMode_; }
    ColorRef BackgroundColor() const { return backgroundColor_; }
    ColorRef ForegroundColor() const { return foregroundColor_; }

    void SetGrayColor(ColorRef color) { grayColor_ = color; }
    ColorRef GrayColor() const { return grayColor_; }

    void SetShowAuxiliary(bool on) { showAuxiliary_ = on; }
    bool ShowAuxiliary() const { return showAuxiliary_; }

    // Colour number to pen index: 1..9 -> 0..8, 101..356 -> 9..264, else -1.
    static int32_t PenIndex(int32_t color);
    // Line type number to record index (see line_types.h).
    static int32_t LineTypeIndex(int32_t lineType);

    // State of a layer key; 1 for a key outside 0..255.
    int32_t LayerState(int32_t layerKey) const;
    // The program itself keeps every layer normal; this lets callers (and tests of
    // the drawing filters) show a layer gray or hide it. Keys outside 0..255 and
    // states other than 1..3 are ignored.
    void SetLayerState(int32_t layerKey, int32_t state);
    // Pen colour; BackgroundColor for a number without pen (so it is invisible).
    ColorRef PenColor(int32_t color) const;
    // Pen width in mm; 0.0 for a number without pen.
    double PenWidth(int32_t color) const;

    int32_t LineTypeCount(int32_t lineType) const;
    double LineTypeAmplitude(int32_t lineType) const;
    // Copies the first Count elements into `buffer` and returns Count; 0 when none.
    int32_t LineTypeElements(int32_t lineType, TPatternElements& buffer) const;
    double LineTypeLength(int32_t lineType) const;

    const std::vector<TjwvLayer>& LayerTable() const { return LayerTable_; }
    const std::vector<TgraPen>& PenTable() const { return PenTable_; }
    const std::vector<TgraLineType>& LineTypeTable() const { return LineTypeTable_; }

  private:
    bool lineWidthMode_ = false;
    int32_t backgroundMode_ = kBackgroundWhite;
    ColorRef backgroundColor_ = 0xFFFFFF;
    ColorRef foregroundColor_ = 0x000000;
    ColorRef grayColor_ = 0x808080;
    bool showAuxiliary_ = false;
    std::vector<TjwvLayer> LayerTable_;
    std::vector<TgraPen> PenTable_;
    std::vector<TgraLineType> LineTypeTable_;
};

// Configures a new instance in the order the main window does at creation: line
// width mode on, white background, all tables rebuilt, auxiliary entities shown,
// gray 0x808080.
void ConfigureAtStartup(TgraAttribute& attributes);

}  // namespace veldra
