#pragma once

// A hash grid over the end points of the segment list that answers the loop search's
// question, "which is the lowest-numbered free segment with an end within 1e-8 of this
// point?", by looking only at the few cells around the point instead of the whole list.

#include <cstdint>
#include <utility>
#include <vector>

#include "fill/regions.h"
#include "fill/regions_segments.h"

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

  private:
    struct Entry {
        TRealPoint point;
        int32_t segment;
        int32_t end;  // 0 start point, 1 end point
    };
    struct Cell {
        int64_t x = 0, y = 0;
        uint32_t begin = 0, end = 0;  // entries of the cell, by segment position
    };
    static constexpr uint32_t kNoCell = UINT32_MAX;

    // Cell coordinate along one axis, clamped so that far points share the edge cells.
    int64_t CellCoordinate(double v) const;
    // The cells the tolerance box around `point` touches; an empty range for a point
    // that is not finite.
    void CellRange(const TRealPoint& point, int64_t& x0, int64_t& x1, int64_t& y0,
                   int64_t& y1) const;
    Cell* Find(int64_t x, int64_t y);
    uint32_t FindOrInsert(int64_t x, int64_t y);
    void Grow();
    int32_t FirstFreeInCell(Cell& cell, const TRealPoint& point,
                            const std::vector<TBoundarySegment>& segments);

    double cellSize_ = 1.0;
    double margin_ = 0.0;  // half width of the looked-up box, in cells
    // Open addressing with linear probing: slots_ hold positions in cells_, kNoCell
    // when free; at most half of the slots are taken.
    std::vector<uint32_t> slots_;
    uint64_t mask_ = 0;
    std::vector<Cell> cells_;
    std::vector<Entry> entries_;
    std::vector<uint8_t> retired_;
};

}  // namespace veldra
