#pragma once

// The in-memory copy of the selection the host handed over: the drawing header
// state, one list per entity kind, the creation order, and the writer's output
// line buffer. Numbers are kept exactly as read; texts are Shift-JIS bytes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/exchange_encoding.h"

namespace veldra {

// Texts and names stored in records hold at most this many bytes.
inline constexpr size_t kMaxRecordText = 255;
// Cut a value to what a record holds (never in the middle of a byte count beyond 255).
std::string Str255(std::string_view s);

enum class EntityKind : int32_t {
    Line = 1,
    Circle = 2,
    Arc = 3,
    Text = 4,
    Point = 5,
    PointEx = 6,
    Dim = 7,
    Blk = 8,
    Solid2 = 9,
    Solid3 = 10,
    Solid4 = 11,
    SolidSc = 12,
    SolidSe = 13,
    SolidSo = 14,
    SolidSg = 15,
};
inline constexpr int kEntityKindCount = 15;

// zFlags bit that hides a line, circle or arc from drawing and regions ("z3").
inline constexpr int32_t kZFlagHidden = 4;

struct TJwwEntHead {
    int32_t hhp = 0;
    int32_t layerGroup = 0;
    int32_t layer = 0;
    int32_t color = 0;
    int32_t lineType = 0;
    int32_t lineWidth = 0;
    int32_t zFlags = 0;
};

struct TJwwEntLine {
    TJwwEntHead head;
    int32_t polylineNo = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TJwwEntCircle {
    TJwwEntHead head;
    double cx = 0, cy = 0, radius = 0;
};

struct TJwwEntArc {
    TJwwEntHead head;
    double cx = 0, cy = 0, radius = 0;
    double startAngle = 0, endAngle = 0, flatness = 0, tiltAngle = 0;
};

struct TJwwEntText {
    TJwwEntHead head;
    int32_t textType = 0;
    int32_t cc = 0;
    int32_t charKind = 0;
    double width = 0, height = 0, spacing = 0;
    double x = 0, y = 0;
    double dirX = 0, dirY = 0;
    std::string fontName;  // at most 255 bytes
    std::string text;      // at most 255 bytes
};

struct TJwwEntPoint {
    TJwwEntHead head;
    double x = 0, y = 0;
};

struct TJwwEntPointEx {
    TJwwEntHead head;
    double x = 0, y = 0;
    double extra1 = 0, extra2 = 0;
    int32_t extraCode = 0;
};

struct TJwwEntDim {
    TJwwEntHead head;
    TJwwEntLine line;
    TJwwEntText text;
};

struct TJwwEntBlk {
    TJwwEntHead head;
    double x = 0, y = 0;
    std::string name;
};

struct TJwwEntSolid2 {
    TJwwEntHead head;
    int32_t extColor = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TJwwEntSolid3 {
    TJwwEntHead head;
    int32_t extColor = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
};

struct TJwwEntSolid4 {
    TJwwEntHead head;
    int32_t extColor = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
};

// Elliptic solids "sc" and "se" (angles in radians, sweep signed).
struct TJwwEntSolidSc {
    TJwwEntHead head;
    int32_t extColor = 0;
    double cx = 0, cy = 0, radius = 0, flatness = 0, tiltRad = 0, startRad = 0, sweepRad = 0;
    int32_t solidCode = 0;
};
using TJwwEntSolidSe = TJwwEntSolidSc;

// Ring solids "so" and "sg": as above plus the inner radius (a length).
struct TJwwEntSolidSo {
    TJwwEntHead head;
    int32_t extColor = 0;
    double cx = 0, cy = 0, radius = 0, flatness = 0, tiltRad = 0, startRad = 0, sweepRad = 0;
    int32_t solidCode = 0;
    double innerRadius = 0;
};
using TJwwEntSolidSg = TJwwEntSolidSo;

struct TJwwCharKind {
    double width = 0, height = 0, spacing = 0;
    int32_t color = 0;
};

struct TJwwRefPoint {
    bool used = false;
    double x = 0, y = 0;
    int32_t tag = 0;  // 0 none, 1 "-", 2 "ln", 3 "ci", 4 "ch"
};

inline constexpr int kLayerGroupCount = 16;
inline constexpr int kLayerEntryCount = 256;
inline constexpr int kRefPointSlots = 100;
inline constexpr int kCharKindCount = 10;
extern const char* const kDefaultFontName;  // "<ＭＳ ゴシック>" in Shift-JIS

struct TJwwDrawingState {
    std::string filePath;
    double hkValue = 0.0;
    std::array<double, kLayerGroupCount> groupScale{};
    double paperWidth = 1189.0, paperHeight = 841.0;
    // Index 1..10 are the character kinds; index 0 is unused.
    std::array<TJwwCharKind, kCharKindCount + 1> charKinds{};
    bool bzFlag = false;
    std::array<double, 4> hnValues{};
    std::vector<int32_t> groupState;      // 16 entries
    std::vector<std::string> groupNames;  // 16 entries
    std::vector<int32_t> layerState;      // 256 entries, group * 16 + layer
    std::vector<std::string> layerNames;  // 256 entries
    std::vector<TJwwRefPoint> refPoints;  // 100 entries, 1..99 addressable
    int32_t refPointCount = 0;

    int32_t firstLayerGroup = 0, firstLayer = 0, firstColor = 1, firstLineType = 1;
    int32_t firstLineWidth = 0, firstCharKind = 1;
    TJwwCharKind firstCharKind0{2.0, 2.0, 0.0, 1};
    std::string firstFontName;
    // First-occurrence markers: true until the first line of that keyword.
    bool firstLg = true, firstLy = true, firstLc = true, firstLt = true, firstLw = true,
         firstCn = true;

    int32_t curHhp = 0;
    int32_t curLayerGroup = 0, curLayer = 0;
    int32_t curColor = 1, curLineType = 1, curLineWidth = 0;
    int32_t curCharKind = 1;
    TJwwCharKind curCharKind0{2.0, 2.0, 0.0, 1};
    int32_t curCc = 0;
    std::string curFontName;
    int32_t curZFlags = 0;
    int32_t polylineCount = 0;
    bool polylineMode = false;
    bool dimensionMode = false;
    int32_t curPn = 1;
    int32_t extColor = 0;
    TJwwEntLine pendingDimLine;
};

struct TJwwEntityRef {
    EntityKind kind;
    int32_t index;  // within that kind's list, from 0
};

// One per run: filled once by the reader, then only read (the output lines excepted).
// Lists use the standard geometric growth; nothing may depend on their capacity.
struct TJwwEntityStore {
    TJwwDrawingState state;
    std::vector<TJwwEntLine> lines;
    std::vector<TJwwEntCircle> circles;
    std::vector<TJwwEntArc> arcs;
    std::vector<TJwwEntText> texts;
    std::vector<TJwwEntPoint> points;
    std::vector<TJwwEntPointEx> pointExs;
    std::vector<TJwwEntDim> dims;
    std::vector<TJwwEntBlk> blocks;
    std::vector<TJwwEntSolid2> solid2s;
    std::vector<TJwwEntSolid3> solid3s;
    std::vector<TJwwEntSolid4> solid4s;
    std::vector<TJwwEntSolidSc> solidScs;
    std::vector<TJwwEntSolidSe> solidSes;
    std::vector<TJwwEntSolidSo> solidSos;
    std::vector<TJwwEntSolidSg> solidSgs;
    std::vector<TJwwEntityRef> creationOrder;
    // The writer's output line buffer (entries of at most 255 bytes).
    std::vector<std::string> outputLines;
    // The encoding the exchange file came in (the hand-back goes back in it), and whether
    // reading it replaced characters by '?' (no valid UTF-8, or no code page 932 form).
    TExchangeEncoding encoding = TExchangeEncoding::ShiftJis;
    bool textReplaced = false;

    size_t EntityCount() const { return creationOrder.size(); }
    // Number of records of one kind.
    size_t CountOf(EntityKind kind) const;
};

void InitStore(TJwwEntityStore& store);
void ResetCurrentAttributes(TJwwEntityStore& store);
void SetCurrentLayerGroup(TJwwEntityStore& store, int32_t n);
void SetCurrentLayer(TJwwEntityStore& store, int32_t n);
void ReleaseStore(TJwwEntityStore& store);

// The header stamped from the current attributes (before the point/text colour overrides).
TJwwEntHead CurrentHead(const TJwwDrawingState& state);

// Appends a new zero-filled record of `kind` to `list`, stamps its header from the
// current attributes and records it in the creation order; the caller fills the rest.
template <class Record>
Record& AppendEntity(TJwwEntityStore& store, std::vector<Record>& list, EntityKind kind) {
    Record& record = list.emplace_back();
    record.head = CurrentHead(store.state);
    store.creationOrder.push_back({kind, static_cast<int32_t>(list.size() - 1)});
    return record;
}

// The number stored coordinates and lengths of an entity are divided by to get view
// units: the layer group's scale, or 1.0 with "bz". A scale of 0 (outside the format)
// and a group outside 0..15 also give 1.0, so nothing divides by zero.
double EntityDivisor(const TJwwDrawingState& state, int32_t layerGroup);

}  // namespace veldra
