#pragma once

// The exact noding of straight edges whose coordinates all lie on one power-of-two
// grid (as drawn coordinates in whole or binary-fraction millimetres do): integers
// below 2^62, crossings as exact fractions along their edges, every crossing, touch and
// overlap found. Used instead of the geometry library where it applies: it keeps a few
// dozen bytes per crossing where the library keeps more than a kilobyte.

#include <cstdint>
#include <vector>

#include "common/abort_poll.h"
#include "common/real_point.h"
#include "regions/faces_arrangement.h"
#include "regions/faces_exact.h"

namespace veldra {

struct TIntPoint {
    int64_t x = 0;
    int64_t y = 0;
};

class TGridNoding {
  public:
    // Declined: so many edges share cells that testing them pairwise would take longer
    // than a sweep.
    enum class TResult { Noded, NotOnGrid, Declined, Aborted };

    // Splits every edge at every point where it meets another. NotOnGrid when the
    // coordinates share no grid fine enough (nothing is built then). Progress runs to
    // 0.5, each report followed by a poll.
    TResult Node(const std::vector<TFaceEdge>& edges, const AbortPoll& poll,
                 const FaceProgress& progress = {});

    // The pieces between the points where edges meet, each once: vertex pairs and the
    // exact direction from the first vertex to the second.
    size_t VertexCount() const { return points_.size(); }
    const std::vector<TRealPoint>& Points() const { return points_; }
    struct TPiece {
        uint32_t from;
        uint32_t to;
        int64_t dx;
        int64_t dy;
    };
    const std::vector<TPiece>& Pieces() const { return pieces_; }

    // Whether a vertex is an end of a drawn edge, and then its grid point (moved so
    // that the lowest coordinates are 0).
    bool IsEnd(uint32_t vertex) const { return vertex < endCount_; }
    TIntPoint End(uint32_t vertex) const { return ends_[vertex]; }

    // The piece first met going straight up from `p` (a grid point as End gives it), just
    // left of it, or UINT32_MAX when nothing lies above. Pieces through `p` do not count.
    uint32_t PieceAbove(TIntPoint p) const;

  private:
    struct TSegment {
        TIntPoint a, b;
    };
    // A point of a segment: the fraction along it and the node it is, before nodes at
    // one point are made one vertex.
    struct TOnSegment {
        TParam at;
        uint32_t segment;
        uint32_t node;
    };

    TResult FindMeetings(const AbortPoll& poll, std::vector<uint64_t>& pairs);
    void AddMeeting(uint32_t e, uint32_t f);
    bool SortAlongSegments(const AbortPoll& poll);
    void MakeVertices();
    void MakePieces();
    template <class Visit>
    void CellsOf(const TSegment& s, Visit&& visit) const;

    std::vector<TSegment> segments_;
    std::vector<TIntPoint> ends_;        // vertex id -> grid point, for the ends
    std::vector<uint32_t> segmentEnds_;  // 2 per segment: its end vertices
    uint32_t endCount_ = 0;
    uint32_t nodeCount_ = 0;
    std::vector<TOnSegment> along_;       // grouped by segment, sorted along it
    std::vector<uint32_t> segmentStart_;  // into along_
    std::vector<uint32_t> nodeVertex_;    // node -> vertex
    std::vector<uint32_t> pieceAfter_;    // along_ index -> piece to the next vertex
    std::vector<TRealPoint> points_;
    std::vector<TPiece> pieces_;
    int32_t scale_ = 0;  // grid unit 2^-scale_
    int64_t originX_ = 0, originY_ = 0;

    // Segments by the grid cells they pass near, for the meetings and the ray.
    double cell_ = 1.0;
    int64_t nx_ = 1, ny_ = 1;
    double margin_ = 0.0;
    std::vector<uint32_t> cellStart_;
    std::vector<uint32_t> cellItems_;
};

// The faces of the noded edges, as the geometry library would give them: false when
// the noding does not apply or an area is too small to be sure of its sign in doubles
// (the library decides then). `out.aborted` when the poll stopped it.
bool BuildGridFaces(const std::vector<TFaceEdge>& edges, const AbortPoll& poll,
                    const FaceProgress& progress, TArrangementOutput& out);

}  // namespace veldra
