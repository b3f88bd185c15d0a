#include "fill/region_index.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "common/tolerances.h"

namespace veldra {

namespace {

// Cells are clamped to this range along each axis: within it, a cell coordinate has
// rounding errors far below the look-up margin; beyond it, points share the edge cell.
constexpr double kCellLimit = 1099511627776.0;  // 2^40
// Shifts the grid so that end points on round numbers fall inside cells, not on
// their borders (saves looking at two cells for the common case).
constexpr double kGridOffset = 0.3183098861837907;
constexpr double kMinCellSize = 1e-6;
constexpr double kMaxCellSize = 1e30;

bool IsFinitePoint(const TRealPoint& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

uint64_t HashCell(int64_t x, int64_t y) {
    uint64_t h = static_cast<uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(y);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return h;
}

// A typical segment length: the median of the finite, not vanishing segments, so that a
// cell holds a few end points whatever the drawing's units.
double ChooseCellSize(const std::vector<TBoundarySegment>& segments) {
    std::vector<double> lengths;
    lengths.reserve(segments.size());
    for (const TBoundarySegment& s : segments) {
        double len = std::max(std::fabs(s.EndPoint.X - s.StartPoint.X),
                              std::fabs(s.EndPoint.Y - s.StartPoint.Y));
        if (std::isfinite(len) && len > kMinCellSize) lengths.push_back(len);
    }
    if (lengths.empty()) return 1.0;
    auto middle = lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() / 2);
    std::nth_element(lengths.begin(), middle, lengths.end());
    return std::clamp(*middle, kMinCellSize, kMaxCellSize);
}

int64_t ClampToCell(double c) {
    if (!(c >= -kCellLimit)) return static_cast<int64_t>(-kCellLimit);
    if (!(c <= kCellLimit)) return static_cast<int64_t>(kCellLimit);
    return static_cast<int64_t>(std::floor(c));
}

}  // namespace

TEndPointIndex::TEndPointIndex(const std::vector<TBoundarySegment>& segments) {
    cellSize_ = ChooseCellSize(segments);
    // A point within 1e-8 of another may lie in a neighbouring cell: look up every cell
    // the box of the tolerance (widened for rounding) touches.
    margin_ = 2.0 * kPointTolerance / cellSize_ + 1.0 / 256.0;

    retired_.assign(segments.size(), 0);
    size_t points = segments.size() * 2;
    table_.resize(std::bit_ceil(std::max<size_t>(16, points * 2)));
    mask_ = table_.size() - 1;

    // Two passes: count the points of every cell, then place them in segment order so
    // that each cell lists its segments from the lowest position up.
    constexpr uint32_t kNoCell = UINT32_MAX;
    std::vector<uint32_t> cellOf(points, kNoCell);
    for (size_t i = 0; i < points; ++i) {
        const TBoundarySegment& s = segments[i / 2];
        const TRealPoint& p = (i % 2 == 0) ? s.StartPoint : s.EndPoint;
        if (!IsFinitePoint(p)) continue;
        Cell& cell = FindOrInsert(CellCoordinate(p.X), CellCoordinate(p.Y));
        ++cell.end;
        cellOf[i] = static_cast<uint32_t>(&cell - table_.data());
    }
    uint32_t next = 0;
    for (Cell& cell : table_) {
        if (!cell.used) continue;
        cell.begin = next;
        next += cell.end;
        cell.end = cell.begin;
    }
    entries_.resize(next);
    for (size_t i = 0; i < points; ++i) {
        if (cellOf[i] == kNoCell) continue;
        const TBoundarySegment& s = segments[i / 2];
        Cell& cell = table_[cellOf[i]];
        entries_[cell.end++] = {(i % 2 == 0) ? s.StartPoint : s.EndPoint,
                                static_cast<int32_t>(i / 2), static_cast<int32_t>(i % 2)};
    }
}

int64_t TEndPointIndex::CellCoordinate(double v) const {
    return ClampToCell(v / cellSize_ + kGridOffset);
}

TEndPointIndex::Cell* TEndPointIndex::Find(int64_t x, int64_t y) {
    for (uint64_t slot = HashCell(x, y) & mask_;; slot = (slot + 1) & mask_) {
        Cell& cell = table_[slot];
        if (!cell.used) return nullptr;
        if (cell.x == x && cell.y == y) return &cell;
    }
}

TEndPointIndex::Cell& TEndPointIndex::FindOrInsert(int64_t x, int64_t y) {
    for (uint64_t slot = HashCell(x, y) & mask_;; slot = (slot + 1) & mask_) {
        Cell& cell = table_[slot];
        if (!cell.used) {
            cell.used = true;
            cell.x = x;
            cell.y = y;
            return cell;
        }
        if (cell.x == x && cell.y == y) return cell;
    }
}

int32_t TEndPointIndex::FirstFreeInCell(Cell& cell, const TRealPoint& point,
                                        const std::vector<TBoundarySegment>& segments) {
    uint32_t write = cell.begin;
    int32_t found = -1;
    for (uint32_t read = cell.begin; read < cell.end; ++read) {
        const Entry entry = entries_[read];
        const int32_t state = segments[static_cast<size_t>(entry.segment)].State;
        // A used segment serves one region only, a retired one none: drop them for good.
        if (state == kSegmentUsed || retired_[static_cast<size_t>(entry.segment)] != 0) {
            continue;
        }
        entries_[write++] = entry;
        if (found < 0 && state == kSegmentFree && SamePoint(point, entry.point)) {
            found = entry.segment;
            // Entries are in segment order, so the first match is the cell's lowest.
            // Stop unless entries were dropped and the rest must close the gap.
            if (write == read + 1) return found;
        }
    }
    cell.end = write;
    return found;
}

void TEndPointIndex::CellRange(const TRealPoint& point, int64_t& x0, int64_t& x1, int64_t& y0,
                               int64_t& y1) const {
    if (!IsFinitePoint(point)) {
        x0 = y0 = 0;
        x1 = y1 = -1;
        return;
    }
    const double cx = point.X / cellSize_ + kGridOffset;
    const double cy = point.Y / cellSize_ + kGridOffset;
    x0 = ClampToCell(cx - margin_);
    x1 = ClampToCell(cx + margin_);
    y0 = ClampToCell(cy - margin_);
    y1 = ClampToCell(cy + margin_);
}

int32_t TEndPointIndex::FirstFree(const TRealPoint& point,
                                  const std::vector<TBoundarySegment>& segments) {
    int64_t x0 = 0, x1 = -1, y0 = 0, y1 = -1;
    CellRange(point, x0, x1, y0, y1);
    int32_t best = -1;
    for (int64_t x = x0; x <= x1; ++x) {
        for (int64_t y = y0; y <= y1; ++y) {
            Cell* cell = Find(x, y);
            if (cell == nullptr) continue;
            int32_t found = FirstFreeInCell(*cell, point, segments);
            if (found >= 0 && (best < 0 || found < best)) best = found;
        }
    }
    return best;
}

}  // namespace veldra
