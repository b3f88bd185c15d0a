#pragma once

// Line-type patterns: dash patterns and zigzags, element lengths in millimetres on
// paper. A record's index comes from LineTypeIndex of the line type number.

#include <array>
#include <cstdint>
#include <vector>

namespace veldra {

inline constexpr int kMaxPatternElements = 32;
inline constexpr int kLineTypeCount = 50;

// Element buffer of one pattern.
using TPatternElements = std::array<double, kMaxPatternElements>;

struct TgraLineType {
    // Number of pattern elements, 0..32; 0 is a plain line.
    int32_t Count = 0;
    // 0 for a dash pattern; otherwise the sideways displacement of a zigzag (mm).
    double Amplitude = 0.0;
    // Dash pattern: positive is a drawn dash, negative a gap. Zigzag: the sign
    // chooses the side of the vertex.
    TPatternElements Elements{};
    // Sum of the absolute values of the first Count elements.
    double Length = 0.0;
};

// The zigzag text of line types 11..15: '2' gives +unit, '0' gives -unit.
inline constexpr char kZigzagPatternText[] = "22002200202200202022002200202020";

// Line type number to record index: 1..9 -> 0..8, 11..19 -> 9..17, 31..62 -> 18..49,
// anything else -1.
int32_t LineTypeIndex(int32_t lineType);

// Clears all records (the table is resized to 50 if needed), writes every pattern
// and computes the pattern lengths.
void BuildLineTypeTable(std::vector<TgraLineType>& table);

// Sets Length of a record from its first Count elements.
void ComputePatternLength(TgraLineType& record);

}  // namespace veldra
