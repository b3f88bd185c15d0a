#include "attributes/gra_attribute.h"

#include <array>

namespace veldra {

namespace {

struct TPenColorRow {
    int32_t color;
    ColorRef onWhite;
    ColorRef onBlack;
};

// Colour numbers with their own colour; every other pen follows ForegroundColor.
constexpr std::array<TPenColorRow, 25> kPenColorRows{{
    {1, MakeColorRef(0, 192, 192), MakeColorRef(0, 255, 255)},
    {2, MakeColorRef(0, 0, 0), MakeColorRef(255, 255, 255)},
    {3, MakeColorRef(0, 192, 0), MakeColorRef(0, 255, 0)},
    {4, MakeColorRef(192, 192, 0), MakeColorRef(255, 255, 0)},
    {5, MakeColorRef(192, 0, 192), MakeColorRef(192, 0, 192)},
    {6, MakeColorRef(0, 0, 255), MakeColorRef(32, 32, 255)},
    {7, MakeColorRef(0, 128, 128), MakeColorRef(0, 128, 128)},
    {8, MakeColorRef(255, 0, 128), MakeColorRef(160, 0, 0)},
    {9, MakeColorRef(255, 128, 255), MakeColorRef(192, 128, 128)},
    {101, MakeColorRef(0, 0, 0), MakeColorRef(255, 255, 255)},
    {102, MakeColorRef(255, 0, 0), MakeColorRef(255, 0, 0)},
    {103, MakeColorRef(0, 255, 0), MakeColorRef(0, 255, 0)},
    {104, MakeColorRef(0, 0, 255), MakeColorRef(0, 0, 255)},
    {105, MakeColorRef(255, 255, 0), MakeColorRef(255, 255, 0)},
    {106, MakeColorRef(255, 0, 255), MakeColorRef(255, 0, 255)},
    {107, MakeColorRef(0, 255, 255), MakeColorRef(0, 255, 255)},
    {108, MakeColorRef(0, 0, 0), MakeColorRef(255, 255, 255)},
    {109, MakeColorRef(192, 0, 128), MakeColorRef(192, 0, 128)},
    {110, MakeColorRef(192, 128, 64), MakeColorRef(192, 128, 64)},
    {111, MakeColorRef(255, 128, 0), MakeColorRef(255, 128, 0)},
    {112, MakeColorRef(128, 192, 128), MakeColorRef(128, 192, 128)},
    {113, MakeColorRef(0, 128, 255), MakeColorRef(0, 128, 255)},
    {114, MakeColorRef(128, 64, 255), MakeColorRef(128, 64, 255)},
    {115, MakeColorRef(192, 192, 192), MakeColorRef(192, 192, 192)},
    {116, MakeColorRef(128, 128, 128), MakeColorRef(128, 128, 128)},
}};

// Pen widths (mm) of colour numbers 1..9; all others are 0.18.
constexpr std::array<double, 9> kBasicPenWidths{0.1, 0.15, 0.2, 0.25, 0.3, 0.35, 0.4, 0.5, 0.01};
constexpr double kExtendedPenWidth = 0.18;

constexpr ColorRef kWhite = 0xFFFFFF;
constexpr ColorRef kBlack = 0x000000;
constexpr ColorRef kDefaultGray = 0x808080;

char HexDigit(int value) {
    return static_cast<char>(value < 10 ? '0' + value : 'A' + (value - 10));
}

}  // namespace

TgraAttribute::TgraAttribute()
    : LayerTable_(kLayerKeyCount), PenTable_(kPenCount), LineTypeTable_(kLineTypeCount) {
    InitDefaults();
}

void TgraAttribute::InitDefaults() {
    lineWidthMode_ = false;
    backgroundMode_ = kBackgroundWhite;
    backgroundColor_ = kWhite;
    foregroundColor_ = kBlack;
    grayColor_ = kDefaultGray;
    BuildLayerTable();
    BuildPenColors();
    BuildPenWidths();
    BuildLineTypes();
}

void TgraAttribute::BuildLayerTable() {
    for (int key = 0; key < kLayerKeyCount; ++key) {
        TjwvLayer& layer = LayerTable_[static_cast<size_t>(key)];
        layer.State = kLayerNormal;
        layer.Scale = 1.0;
        layer.GroupLabel = std::string("[") + HexDigit(key / 16) + "] ";
        layer.LayerLabel = std::string("(") + HexDigit(key % 16) + ") ";
    }
}

void TgraAttribute::BuildPenColors() {
    for (TgraPen& pen : PenTable_) pen.Color = foregroundColor_;
    const bool black = backgroundMode_ == kBackgroundBlack;
    for (const TPenColorRow& row : kPenColorRows) {
        PenTable_[static_cast<size_t>(PenIndex(row.color))].Color =
            black ? row.onBlack : row.onWhite;
    }
}

void TgraAttribute::BuildPenWidths() {
    for (TgraPen& pen : PenTable_) pen.Width = kExtendedPenWidth;
    for (size_t i = 0; i < kBasicPenWidths.size(); ++i) PenTable_[i].Width = kBasicPenWidths[i];
}

void TgraAttribute::BuildLineTypes() {
    BuildLineTypeTable(LineTypeTable_);
}

void TgraAttribute::SetBackground(int32_t mode) {
    if (mode == kBackgroundWhite) {
        backgroundMode_ = kBackgroundWhite;
        backgroundColor_ = kWhite;
        foregroundColor_ = kBlack;
    } else if (mode == kBackgroundBlack) {
        backgroundMode_ = kBackgroundBlack;
        backgroundColor_ = kBlack;
        foregroundColor_ = kWhite;
    }
}

int32_t TgraAttribute::PenIndex(int32_t color) {
    if (color >= 1 && color <= 9) return color - 1;
    if (color >= 101 && color <= 356) return color - 92;
    return -1;
}

int32_t TgraAttribute::LineTypeIndex(int32_t lineType) {
    return veldra::LineTypeIndex(lineType);
}

int32_t TgraAttribute::LayerState(int32_t layerKey) const {
    if (layerKey < 0 || layerKey >= kLayerKeyCount) return kLayerNormal;
    return LayerTable_[static_cast<size_t>(layerKey)].State;
}

void TgraAttribute::SetLayerState(int32_t layerKey, int32_t state) {
    if (layerKey < 0 || layerKey >= kLayerKeyCount) return;
    if (state < kLayerNormal || state > kLayerHidden) return;
    LayerTable_[static_cast<size_t>(layerKey)].State = state;
}

ColorRef TgraAttribute::PenColor(int32_t color) const {
    const int32_t i = PenIndex(color);
    return i < 0 ? backgroundColor_ : PenTable_[static_cast<size_t>(i)].Color;
}

double TgraAttribute::PenWidth(int32_t color) const {
    const int32_t i = PenIndex(color);
    return i < 0 ? 0.0 : PenTable_[static_cast<size_t>(i)].Width;
}

int32_t TgraAttribute::LineTypeCount(int32_t lineType) const {
    const int32_t i = LineTypeIndex(lineType);
    return i < 0 ? 0 : LineTypeTable_[static_cast<size_t>(i)].Count;
}

double TgraAttribute::LineTypeAmplitude(int32_t lineType) const {
    const int32_t i = LineTypeIndex(lineType);
    return i < 0 ? 0.0 : LineTypeTable_[static_cast<size_t>(i)].Amplitude;
}

int32_t TgraAttribute::LineTypeElements(int32_t lineType, TPatternElements& buffer) const {
    const int32_t i = LineTypeIndex(lineType);
    if (i < 0) return 0;
    const TgraLineType& record = LineTypeTable_[static_cast<size_t>(i)];
    for (int32_t k = 0; k < record.Count; ++k) {
        buffer[static_cast<size_t>(k)] = record.Elements[static_cast<size_t>(k)];
    }
    return record.Count;
}

double TgraAttribute::LineTypeLength(int32_t lineType) const {
    const int32_t i = LineTypeIndex(lineType);
    return i < 0 ? 0.0 : LineTypeTable_[static_cast<size_t>(i)].Length;
}

void ConfigureAtStartup(TgraAttribute& attributes) {
    // Same order as the window's creation; the repeated builds are harmless and keep
    // the result identical to it.
    attributes.SetLineWidthMode(true);
    attributes.SetBackground(kBackgroundWhite);
    attributes.BuildPenColors();
    attributes.BuildLineTypes();
    attributes.BuildLayerTable();
    attributes.BuildPenColors();
    attributes.BuildPenWidths();
    attributes.SetShowAuxiliary(true);
    attributes.SetGrayColor(kDefaultGray);
}

}  // namespace veldra
