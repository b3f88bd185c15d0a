#pragma once

// A hash grid over the end points of the segment list that answers the loop search's
// question, "which is the lowest-numbered free segment with an end within 1e-8 of this
// point?", by looking only at the few cells around the point instead of the whole list.

#include <cstdint>
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
    // are dropped from the grid on the way.
    int32_t FirstFree(const TRealPoint& point, const std::vector<TBoundarySegment>& segments);

    double CellSize() const { return cellSize_; }

  private:
    struct Entry {
        TRealPoint point;
        int32_t segment;
    };
    struct Cell {
        int64_t x = 0, y = 0;
        uint32_t begin = 0, end = 0;  // entries of the cell, by segment position
        bool used = false;
    };

    // Cell coordinate along one axis, clamped so that far points share the edge cells.
    int64_t CellCoordinate(double v) const;
    Cell* Find(int64_t x, int64_t y);
    Cell& FindOrInsert(int64_t x, int64_t y);
    int32_t FirstFreeInCell(Cell& cell, const TRealPoint& point,
                            const std::vector<TBoundarySegment>& segments);

    double cellSize_ = 1.0;
    double margin_ = 0.0;  // half width of the looked-up box, in cells
    std::vector<Cell> table_;
    uint64_t mask_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace veldra
