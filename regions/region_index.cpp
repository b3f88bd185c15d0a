#include "regions/region_index.h"

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
// An overfull cell is split by a finer grid sized to give about kPointsPerFinerCell
// points per cell, at most kMaxSplitDepth times over.
constexpr double kPointsPerFinerCell = 4.0;
constexpr int kMaxSplitDepth = 8;

bool IsFinitePoint(const TRealPoint& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

uint64_t HashCell(int32_t grid, int64_t x, int64_t y) {
    uint64_t h = static_cast<uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(y) ^
                 static_cast<uint64_t>(grid) * 0xD6E8FEB86659FD93ull;
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

// Half width of the box looked up around a point, in cells: the tolerance, doubled
// for rounding, and a little more for the rounding of the cell coordinate itself.
double LookUpMargin(double cellSize) {
    return 2.0 * kPointTolerance / cellSize + 1.0 / 256.0;
}

// A cell coordinate of a finer grid, within 0..last.
int64_t ClampToGrid(double c, int64_t last) {
    if (!(c > 0.0)) return 0;
    if (c >= static_cast<double>(last)) return last;
    return static_cast<int64_t>(c);
}

}  // namespace

TEndPointIndex::TEndPointIndex(const std::vector<TBoundarySegment>& segments) {
    cellSize_ = ChooseCellSize(segments);
    // A point within 1e-8 of another may lie in a neighbouring cell: look up every cell
    // the box of the tolerance (widened for rounding) touches.
    grids_.push_back({0.0, 0.0, cellSize_, LookUpMargin(cellSize_), 0, 0});

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
            lastCell = FindOrInsert(0, x, y);
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
    const uint32_t topCells = static_cast<uint32_t>(cells_.size());
    for (uint32_t c = 0; c < topCells; ++c) Split(c, 1);
}

void TEndPointIndex::Split(uint32_t cell, int depth) {
    const uint32_t begin = cells_[cell].begin, end = cells_[cell].end;
    const uint32_t count = end - begin;
    if (count <= kCellCapacity || depth > kMaxSplitDepth) return;
    double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
    for (uint32_t i = begin; i < end; ++i) {
        const TRealPoint& p = entries_[i].point;
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    const double w = maxX - minX, h = maxY - minY, longer = std::max(w, h);
    // Points packed closer than any cell can tell apart stay together (also when the
    // extent overflows, for points far out in the clamped edge cells).
    if (!std::isfinite(longer) || longer <= kMinCellSize) return;
    // About kPointsPerFinerCell points per cell if they are spread over the area, and
    // no more cells along the longer side than points if they lie along a line.
    const double n = static_cast<double>(count);
    const double size = std::max({std::sqrt(w * h * kPointsPerFinerCell / n),
                                  longer * kPointsPerFinerCell / n, kMinCellSize});
    if (!std::isfinite(size)) return;
    const auto grid = static_cast<int32_t>(grids_.size());
    grids_.push_back({minX, minY, size, LookUpMargin(size), static_cast<int64_t>(w / size),
                      static_cast<int64_t>(h / size)});

    // Counting sort of the cell's entries into the finer cells, keeping segment order.
    const auto firstChild = static_cast<uint32_t>(cells_.size());
    std::vector<uint32_t> childOf(count);
    for (uint32_t i = 0; i < count; ++i) {
        int64_t x = 0, y = 0;
        CellOf(grid, entries_[begin + i].point, x, y);
        childOf[i] = FindOrInsert(grid, x, y);
        ++cells_[childOf[i]].end;
    }
    const auto lastChild = static_cast<uint32_t>(cells_.size());
    uint32_t next = begin;
    for (uint32_t c = firstChild; c < lastChild; ++c) {
        const uint32_t points = cells_[c].end;
        cells_[c].begin = cells_[c].end = next;
        next += points;
    }
    const std::vector<Entry> entries(entries_.begin() + begin, entries_.begin() + end);
    for (uint32_t i = 0; i < count; ++i) entries_[cells_[childOf[i]].end++] = entries[i];
    cells_[cell].finer = grid;
    for (uint32_t c = firstChild; c < lastChild; ++c) Split(c, depth + 1);
}

int64_t TEndPointIndex::CellCoordinate(double v) const {
    return ClampToCell(v / cellSize_ + kGridOffset);
}

void TEndPointIndex::CellOf(int32_t grid, const TRealPoint& point, int64_t& x, int64_t& y) const {
    if (grid == 0) {
        x = CellCoordinate(point.X);
        y = CellCoordinate(point.Y);
        return;
    }
    const Grid& g = grids_[static_cast<size_t>(grid)];
    x = ClampToGrid((point.X - g.originX) / g.size, g.lastX);
    y = ClampToGrid((point.Y - g.originY) / g.size, g.lastY);
}

TEndPointIndex::Cell* TEndPointIndex::Find(int32_t grid, int64_t x, int64_t y) {
    for (uint64_t slot = HashCell(grid, x, y) & mask_;; slot = (slot + 1) & mask_) {
        uint32_t c = slots_[slot];
        if (c == kNoCell) return nullptr;
        const Cell& cell = cells_[c];
        if (cell.x == x && cell.y == y && cell.grid == grid) return &cells_[c];
    }
}

uint32_t TEndPointIndex::FindOrInsert(int32_t grid, int64_t x, int64_t y) {
    for (uint64_t slot = HashCell(grid, x, y) & mask_;; slot = (slot + 1) & mask_) {
        uint32_t c = slots_[slot];
        if (c == kNoCell) {
            c = static_cast<uint32_t>(cells_.size());
            cells_.push_back({x, y, 0, 0, grid, kLeaf});
            slots_[slot] = c;
            if (cells_.size() * 2 > slots_.size()) Grow();
            return c;
        }
        const Cell& cell = cells_[c];
        if (cell.x == x && cell.y == y && cell.grid == grid) return c;
    }
}

void TEndPointIndex::Grow() {
    slots_.assign(slots_.size() * 2, kNoCell);
    mask_ = slots_.size() - 1;
    for (uint32_t c = 0; c < cells_.size(); ++c) {
        const Cell& cell = cells_[c];
        uint64_t slot = HashCell(cell.grid, cell.x, cell.y) & mask_;
        while (slots_[slot] != kNoCell) slot = (slot + 1) & mask_;
        slots_[slot] = c;
    }
}

void TEndPointIndex::CellRange(int32_t grid, const TRealPoint& point, int64_t& x0, int64_t& x1,
                               int64_t& y0, int64_t& y1) const {
    x0 = y0 = 0;
    x1 = y1 = -1;
    if (!IsFinitePoint(point)) return;
    const Grid& g = grids_[static_cast<size_t>(grid)];
    if (grid == 0) {
        const double cx = point.X / cellSize_ + kGridOffset;
        const double cy = point.Y / cellSize_ + kGridOffset;
        x0 = ClampToCell(cx - g.margin);
        x1 = ClampToCell(cx + g.margin);
        y0 = ClampToCell(cy - g.margin);
        y1 = ClampToCell(cy + g.margin);
        return;
    }
    const double cx = (point.X - g.originX) / g.size, cy = (point.Y - g.originY) / g.size;
    const double lastX = static_cast<double>(g.lastX), lastY = static_cast<double>(g.lastY);
    // Outside the finer grid by more than the margin: no point of it can be the same.
    if (!(cx + g.margin >= 0.0 && cx - g.margin < lastX + 1.0)) return;
    if (!(cy + g.margin >= 0.0 && cy - g.margin < lastY + 1.0)) return;
    x0 = ClampToGrid(cx - g.margin, g.lastX);
    x1 = ClampToGrid(cx + g.margin, g.lastX);
    y0 = ClampToGrid(cy - g.margin, g.lastY);
    y1 = ClampToGrid(cy + g.margin, g.lastY);
}

template <class Visit>
void TEndPointIndex::ForEachLeaf(int32_t grid, const TRealPoint& point, Visit&& visit) {
    int64_t x0 = 0, x1 = -1, y0 = 0, y1 = -1;
    CellRange(grid, point, x0, x1, y0, y1);
    for (int64_t x = x0; x <= x1; ++x) {
        for (int64_t y = y0; y <= y1; ++y) {
            Cell* cell = Find(grid, x, y);
            if (cell == nullptr) continue;
            if (cell->finer == kLeaf) {
                visit(*cell);
            } else {
                ForEachLeaf(cell->finer, point, visit);
            }
        }
    }
}

bool TEndPointIndex::SamePointPairs(int64_t budget,
                                    std::vector<std::pair<int32_t, int32_t>>& pairs) {
    auto id = [](const Entry& e) { return e.segment * 2 + e.end; };
    // Cell by cell: the pairs inside a cell, then, for the few points whose tolerance box
    // reaches over the border, the pairs with the neighbouring cells.
    for (Cell& cell : cells_) {
        if (cell.finer != kLeaf) continue;
        const uint32_t begin = cell.begin, end = cell.end;
        budget -= static_cast<int64_t>(end - begin) * (end - begin);
        if (budget < 0) return false;
        for (uint32_t i = begin; i < end; ++i) {
            const Entry& a = entries_[i];
            for (uint32_t j = i + 1; j < end; ++j) {
                if (SamePoint(a.point, entries_[j].point))
                    pairs.emplace_back(id(a), id(entries_[j]));
            }
            ForEachLeaf(0, a.point, [&](const Cell& other) {
                if (&other == &cell || budget < 0) return;
                budget -= other.end - other.begin;
                for (uint32_t j = other.begin; j < other.end; ++j) {
                    if (SamePoint(a.point, entries_[j].point)) {
                        pairs.emplace_back(id(a), id(entries_[j]));
                    }
                }
            });
            if (budget < 0) return false;
        }
    }
    return true;
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

uint32_t TEndPointIndex::LargestCell() const {
    uint32_t largest = 0;
    for (const Cell& cell : cells_) {
        if (cell.finer == kLeaf) largest = std::max(largest, cell.end - cell.begin);
    }
    return largest;
}

int32_t TEndPointIndex::FirstFree(const TRealPoint& point,
                                  const std::vector<TBoundarySegment>& segments) {
    int32_t best = -1;
    ForEachLeaf(0, point, [&](Cell& cell) {
        int32_t found = FirstFreeInCell(cell, point, segments);
        if (found >= 0 && (best < 0 || found < best)) best = found;
    });
    return best;
}

}  // namespace veldra
