#include "attributes/line_types.h"

#include <cmath>
#include <initializer_list>

namespace veldra {

namespace {

// Line types 2..9 are multiples of this unit (mm).
constexpr double kDashUnit = 0.36;

void SetElements(TgraLineType& record, std::initializer_list<double> elements, double scale) {
    record.Count = 0;
    for (double e : elements) {
        if (record.Count >= kMaxPatternElements) break;
        record.Elements[static_cast<size_t>(record.Count)] = e * scale;
        ++record.Count;
    }
}

void SetZigzag(TgraLineType& record, double unit, double amplitude) {
    record.Count = 0;
    for (int i = 0; i < kMaxPatternElements && kZigzagPatternText[i] != '\0'; ++i) {
        const int digit = kZigzagPatternText[i] - '0';
        record.Elements[static_cast<size_t>(i)] = (digit - 1) * unit;
        ++record.Count;
    }
    record.Amplitude = amplitude;
}

}  // namespace

int32_t LineTypeIndex(int32_t lineType) {
    if (lineType >= 1 && lineType <= 9) return lineType - 1;
    if (lineType >= 11 && lineType <= 19) return lineType - 2;
    if (lineType >= 31 && lineType <= 62) return lineType - 13;
    return -1;
}

void ComputePatternLength(TgraLineType& record) {
    record.Length = 0.0;
    for (int32_t i = 0; i < record.Count && i < kMaxPatternElements; ++i) {
        record.Length += std::fabs(record.Elements[static_cast<size_t>(i)]);
    }
}

void BuildLineTypeTable(std::vector<TgraLineType>& table) {
    table.assign(kLineTypeCount, TgraLineType{});
    auto at = [&table](int32_t lineType) -> TgraLineType& {
        return table[static_cast<size_t>(LineTypeIndex(lineType))];
    };

    // 1, 31 and 46..62 stay plain lines.
    SetElements(at(2), {1, -2, 1}, kDashUnit);
    SetElements(at(3), {2, -4, 2}, kDashUnit);
    SetElements(at(4), {3, -2, 3}, kDashUnit);
    SetElements(at(5), {5, -2, 2, -2, 5}, kDashUnit);
    SetElements(at(6), {13, -2, 2, -2, 13}, kDashUnit);
    SetElements(at(7), {4, -2, 1, -2, 1, -2, 4}, kDashUnit);
    SetElements(at(8), {12, -2, 1, -2, 1, -2, 12}, kDashUnit);
    SetElements(at(9), {0.5, -3, 0.5}, kDashUnit);

    SetZigzag(at(11), 0.6, 0.3);
    SetZigzag(at(12), 1.2, 0.3);
    SetZigzag(at(13), 1.8, 0.6);
    SetZigzag(at(14), 2.4, 0.6);
    SetZigzag(at(15), 3.0, 0.6);

    SetElements(at(16), {8.4, -1.2, 1.6, -1.2, 8.4}, 1.0);
    SetElements(at(17), {10.6, -1.6, 1.2, -1.6, 1.2, -1.6, 10.6}, 1.0);
    SetElements(at(18), {13.6, -1.6, 13.6}, 1.0);
    SetElements(at(19), {22.0, -3.0, 22.0}, 1.0);

    SetElements(at(32), {6.0, -1.5}, 1.0);
    SetElements(at(33), {6.0, -6.0}, 1.0);
    SetElements(at(34), {12.0, -1.5, 0.25, -1.5}, 1.0);
    SetElements(at(35), {12.0, -1.5, 0.25, -1.5, 0.25, -1.5}, 1.0);
    SetElements(at(36), {12.0, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5}, 1.0);
    SetElements(at(37), {0.25, -1.5}, 1.0);
    SetElements(at(38), {12.0, -1.5, 3.5, -1.5}, 1.0);
    SetElements(at(39), {12.0, -1.5, 3.5, -1.5, 3.5, -1.5}, 1.0);
    SetElements(at(40), {6.0, -1.5, 0.25, -1.5}, 1.0);
    SetElements(at(41), {6.0, -1.5, 6.0, -1.5, 0.25, -1.5}, 1.0);
    SetElements(at(42), {6.0, -1.5, 0.25, -1.5, 0.25, -1.5}, 1.0);
    SetElements(at(43), {6.0, -1.5, 6.0, -1.5, 0.25, -1.5, 0.25, -1.5}, 1.0);
    SetElements(at(44), {6.0, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5}, 1.0);
    SetElements(at(45), {6.0, -1.5, 6.0, -1.5, 0.25, -1.5, 0.25, -1.5, 0.25, -1.5}, 1.0);

    for (TgraLineType& record : table) ComputePatternLength(record);
}

}  // namespace veldra
