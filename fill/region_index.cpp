#include "fill/region_index.h"

#include <algorithm>
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
    slots_.assign(1024, kNoCell);
    mask_ = slots_.size() - 1;

    // Two passes: count the points of every cell, then place them in segment order so
    // that each cell lists its segments from the lowest position up.
    std::vector<uint32_t> cellOf(points, kNoCell);
    uint32_t lastCell = kNoCell;
    for (size_t i = 0; i < points; ++i) {
        const TBoundarySegment& s = segments[i / 2];
        const TRealPoint& p = (i % 2 == 0) ? s.StartPoint : s.EndPoint;
        if (!IsFinitePoint(p)) continue;
        const int64_t x = CellCoordinate(p.X), y = CellCoordinate(p.Y);
        // A segment's end is often the next one's start: skip the hash then.
        if (lastCell == kNoCell || cells_[lastCell].x != x || cells_[lastCell].y != y) {
            lastCell = FindOrInsert(x, y);
        }
        cellOf[i] = lastCell;
        ++cells_[lastCell].end;
    }
    uint32_t next = 0;
    for (Cell& cell : cells_) {
        cell.begin = next;
        next += cell.end;
        cell.end = cell.begin;
    }
    entries_.resize(next);
    for (size_t i = 0; i < points; ++i) {
        if (cellOf[i] == kNoCell) continue;
        const TBoundarySegment& s = segments[i / 2];
        Cell& cell = cells_[cellOf[i]];
        entries_[cell.end++] = {(i % 2 == 0) ? s.StartPoint : s.EndPoint,
                                static_cast<int32_t>(i / 2), static_cast<int32_t>(i % 2)};
    }
}

int64_t TEndPointIndex::CellCoordinate(double v) const {
    return ClampToCell(v / cellSize_ + kGridOffset);
}

TEndPointIndex::Cell* TEndPointIndex::Find(int64_t x, int64_t y) {
    for (uint64_t slot = HashCell(x, y) & mask_;; slot = (slot + 1) & mask_) {
        uint32_t c = slots_[slot];
        if (c == kNoCell) return nullptr;
        if (cells_[c].x == x && cells_[c].y == y) return &cells_[c];
    }
}

uint32_t TEndPointIndex::FindOrInsert(int64_t x, int64_t y) {
    for (uint64_t slot = HashCell(x, y) & mask_;; slot = (slot + 1) & mask_) {
        uint32_t c = slots_[slot];
        if (c == kNoCell) {
            c = static_cast<uint32_t>(cells_.size());
            cells_.push_back({x, y, 0, 0});
            slots_[slot] = c;
            if (cells_.size() * 2 > slots_.size()) Grow();
            return c;
        }
        if (cells_[c].x == x && cells_[c].y == y) return c;
    }
}

bool TEndPointIndex::SamePointPairs(int64_t budget,
                                    std::vector<std::pair<int32_t, int32_t>>& pairs) {
    auto id = [](const Entry& e) { return e.segment * 2 + e.end; };
    // Cell by cell: the pairs inside a cell, then, for the few points whose tolerance box
    // reaches over the border, the pairs with the neighbouring cells.
    for (uint32_t c = 0; c < cells_.size(); ++c) {
        const uint32_t begin = cells_[c].begin, end = cells_[c].end;
        const int64_t cx = cells_[c].x, cy = cells_[c].y;
        budget -= static_cast<int64_t>(end - begin) * (end - begin);
        if (budget < 0) return false;
        for (uint32_t i = begin; i < end; ++i) {
            const Entry& a = entries_[i];
            for (uint32_t j = i + 1; j < end; ++j) {
                if (SamePoint(a.point, entries_[j].point))
                    pairs.emplace_back(id(a), id(entries_[j]));
            }
            int64_t x0 = 0, x1 = -1, y0 = 0, y1 = -1;
            CellRange(a.point, x0, x1, y0, y1);
            for (int64_t x = x0; x <= x1; ++x) {
                for (int64_t y = y0; y <= y1; ++y) {
                    if (x == cx && y == cy) continue;
                    const Cell* other = Find(x, y);
                    if (other == nullptr) continue;
                    budget -= other->end - other->begin;
                    if (budget < 0) return false;
                    for (uint32_t j = other->begin; j < other->end; ++j) {
                        if (SamePoint(a.point, entries_[j].point)) {
                            pairs.emplace_back(id(a), id(entries_[j]));
                        }
                    }
                }
            }
        }
    }
    return true;
}

void TEndPointIndex::Grow() {
    slots_.assign(slots_.size() * 2, kNoCell);
    mask_ = slots_.size() - 1;
    for (uint32_t c = 0; c < cells_.size(); ++c) {
        uint64_t slot = HashCell(cells_[c].x, cells_[c].y) & mask_;
        while (slots_[slot] != kNoCell) slot = (slot + 1) & mask_;
        slots_[slot] = c;
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
