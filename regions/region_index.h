#pragma once

// A hash grid over the end points of the segment list that answers the loop search's
// question, "which is the lowest-numbered free segment with an end within 1e-8 of this
// point?", by looking only at the few cells around the point instead of the whole list.
// The top grid's cell is a typical segment length; a cell that gets more than a few
// points (many short segments packed together) is split by a finer grid sized by the
// density of its own points, and so on, so that a cell holds a bounded number of points
// whatever the drawing (points that are the same point within 1e-8 aside).

#include <cstdint>
#include <utility>
#include <vector>

#include "regions/regions.h"
#include "regions/regions_segments.h"

namespace veldra {

class TEndPointIndex {
  public:
    // Indexes both end points of every segment. Points with an infinite or NaN
    // coordinate are left out: they are never the same point as anything.
    explicit TEndPointIndex(const std::vector<TBoundarySegment>& segments);

    // The lowest position j whose segment has State free and an end point p with
    // SamePoint(point, p); -1 when there is none. Segments found used for good (State 3)
    // or retired are dropped from the grid on the way.
    int32_t FirstFree(const TRealPoint& point, const std::vector<TBoundarySegment>& segments);

    // Appends to `pairs` every two indexed end points (2 * segment + end, end 0 the
    // start point) that are the same point, each pair at least once. False, with `pairs`
    // incomplete, when that would take more than `budget` comparisons (far too many
    // points in single cells). For use before any FirstFree.
    bool SamePointPairs(int64_t budget, std::vector<std::pair<int32_t, int32_t>>& pairs);

    // Takes a segment out of every later FirstFree answer, as if it were used.
    void Retire(int32_t segment) { retired_[static_cast<size_t>(segment)] = 1; }

    double CellSize() const { return cellSize_; }
    // A cell holding more points than this is split by a finer grid.
    static constexpr uint32_t kCellCapacity = 16;
    // The most points any unsplit cell holds.
    uint32_t LargestCell() const;

  private:
    struct Entry {
        TRealPoint point;
        int32_t segment;
        int32_t end;  // 0 start point, 1 end point
    };
    static constexpr uint32_t kNoCell = UINT32_MAX;
    static constexpr int32_t kLeaf = -1;
    struct Cell {
        int64_t x = 0, y = 0;
        uint32_t begin = 0, end = 0;  // entries of the cell, by segment position
        int32_t grid = 0;             // the grid the cell belongs to
        int32_t finer = kLeaf;        // the grid that splits it, kLeaf when none does
    };
    // A grid splitting one overfull cell: cell (x, y) covers origin + [x, x + 1) * size.
    struct Grid {
        double originX = 0, originY = 0, size = 1.0;
        double margin = 0.0;  // half width of the looked-up box, in cells
        int64_t lastX = 0, lastY = 0;
    };

    // Cell coordinate along one axis of the top grid, clamped so that far points share
    // the edge cells.
    int64_t CellCoordinate(double v) const;
    // The cells of `grid` the tolerance box around `point` touches; an empty range for a
    // point that is not finite or lies outside the grid.
    void CellRange(int32_t grid, const TRealPoint& point, int64_t& x0, int64_t& x1, int64_t& y0,
                   int64_t& y1) const;
    // The cell of `grid` that holds `point` (which must lie in it).
    void CellOf(int32_t grid, const TRealPoint& point, int64_t& x, int64_t& y) const;
    Cell* Find(int32_t grid, int64_t x, int64_t y);
    uint32_t FindOrInsert(int32_t grid, int64_t x, int64_t y);
    void Grow();
    // Splits an overfull cell by a finer grid, and its overfull cells again, up to a depth.
    void Split(uint32_t cell, int depth);
    // Calls visit(Cell&) for every unsplit cell the tolerance box around `point` touches.
    template <class Visit>
    void ForEachLeaf(int32_t grid, const TRealPoint& point, Visit&& visit);
    int32_t FirstFreeInCell(Cell& cell, const TRealPoint& point,
                            const std::vector<TBoundarySegment>& segments);

    double cellSize_ = 1.0;
    std::vector<Grid> grids_;  // grids_[0] is the top grid
    // Open addressing with linear probing: slots_ hold positions in cells_, kNoCell
    // when free; at most half of the slots are taken.
    std::vector<uint32_t> slots_;
    uint64_t mask_ = 0;
    std::vector<Cell> cells_;
    std::vector<Entry> entries_;
    std::vector<uint8_t> retired_;
};

}  // namespace veldra
