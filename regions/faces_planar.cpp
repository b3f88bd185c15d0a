// The faces of the exactly noded pieces, walked on a plain half-edge structure: the
// pieces around each vertex in angular order (exact, from the pieces' integer
// directions), each boundary cycle followed with the face on its left, cycles told
// apart by the sign of their area, and every piece of linework placed in the face
// around it by a ray straight up from its top end. The result has the form the
// geometry library's arrangement gives.

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "regions/faces_noding.h"
#include "regions/faces_rings.h"

namespace veldra {

namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
constexpr int32_t kOutside = -1;
// Halfedge marks, as in the arrangement: on no ring, on the outer ring of its face, on
// a hole ring of its face (every boundary of the outside counts as a hole).
constexpr int8_t kUnset = -1;
constexpr int8_t kOnOuterRing = 0;
constexpr int8_t kOnHoleRing = 1;
constexpr uint32_t kPollEvery = 1u << 16;

struct TDirection {
    int64_t x, y;
};

// Counter-clockwise from the +x axis: the upper half first, then by cross product.
bool AngleLess(const TDirection& u, const TDirection& v) {
    const bool upperU = u.y > 0 || (u.y == 0 && u.x > 0);
    const bool upperV = v.y > 0 || (v.y == 0 && v.x > 0);
    if (upperU != upperV) return upperU;
    return Cross(u.x, u.y, v.x, v.y) > 0;
}

class THalfedges {
  public:
    explicit THalfedges(const TGridNoding& noding)
        : noding_(noding), pieces_(noding.Pieces()), points_(noding.Points()) {}

    // Progress from 0.5 to 0.9, each report followed by a poll.
    bool Build(const AbortPoll& poll, const FaceProgress& progress, TArrangementOutput& out);
    bool Aborted() const { return aborted_; }

  private:
    uint32_t Origin(uint32_t h) const {
        return h % 2 == 0 ? pieces_[h / 2].from : pieces_[h / 2].to;
    }
    TDirection Direction(uint32_t h) const {
        const TGridNoding::TPiece& p = pieces_[h / 2];
        return h % 2 == 0 ? TDirection{p.dx, p.dy} : TDirection{-p.dx, -p.dy};
    }
    int32_t FaceOf(uint32_t h) const {
        const uint32_t c = cycle_[h];
        return area_[c] > 0 ? cycleFace_[c] : container_[c];
    }
    bool Poll(const AbortPoll& poll) {
        if (++polls_ % kPollEvery == 0 && CheckAbort(poll)) aborted_ = true;
        return aborted_;
    }

    void LinkAroundVertices();
    bool FollowCycles(const AbortPoll& poll);
    bool PlaceComponents();
    void AppendRings(uint32_t first, TAr2RealPoint& rings,
                     std::vector<std::vector<uint32_t>>& ringEdges,
                     std::vector<uint32_t>& slots) const;
    bool CollectFaces(const AbortPoll& poll, TArrangementOutput& out);
    void SetDepths(TArrangementOutput& out) const;

    const TGridNoding& noding_;
    const std::vector<TGridNoding::TPiece>& pieces_;
    const std::vector<TRealPoint>& points_;
    std::vector<uint32_t> next_;
    std::vector<uint32_t> cycle_;
    std::vector<uint32_t> cycleFirst_;
    std::vector<double> area_;        // > 0: the outer cycle of a face; else a component's outside
    std::vector<int32_t> cycleFace_;  // face of an outer cycle
    std::vector<int32_t> container_;  // face around a component's outside cycle
    std::vector<int8_t> mark_;
    std::vector<uint32_t> faceCycleStart_, faceCycles_;  // per face (outside last) its cycles
    int32_t faceCount_ = 0;
    uint64_t polls_ = 0;
    bool aborted_ = false;
};

void THalfedges::LinkAroundVertices() {
    const size_t halfedges = 2 * pieces_.size();
    std::vector<uint32_t> start(points_.size() + 1, 0);
    for (uint32_t h = 0; h < halfedges; ++h) ++start[Origin(h) + 1];
    for (size_t v = 1; v < start.size(); ++v) start[v] += start[v - 1];
    std::vector<uint32_t> around(halfedges);
    {
        std::vector<uint32_t> fill(start.begin(), start.end() - 1);
        for (uint32_t h = 0; h < halfedges; ++h) around[fill[Origin(h)]++] = h;
    }
    std::vector<uint32_t> position(halfedges);
    for (size_t v = 0; v + 1 < start.size(); ++v) {
        auto first = around.begin() + start[v], last = around.begin() + start[v + 1];
        std::sort(first, last,
                  [this](uint32_t a, uint32_t b) { return AngleLess(Direction(a), Direction(b)); });
        for (uint32_t k = start[v]; k < start[v + 1]; ++k) position[around[k]] = k;
    }
    // The face on the left of h goes on, at h's target, along the halfedge just
    // clockwise of the way back.
    next_.resize(halfedges);
    for (uint32_t h = 0; h < halfedges; ++h) {
        const uint32_t back = h ^ 1u, v = Origin(back);
        const uint32_t k = position[back];
        next_[h] = around[k == start[v] ? start[v + 1] - 1 : k - 1];
    }
}

// Each cycle with its area from doubles, and how far that area can be off. A cycle
// whose every piece it walks both ways has no area at all; any other whose area is
// within the error gives up (false), the geometry library deciding instead.
bool THalfedges::FollowCycles(const AbortPoll& poll) {
    double scale = 0;
    for (const TRealPoint& p : points_) scale = std::max({scale, std::fabs(p.X), std::fabs(p.Y)});
    const double pointError = 8 * std::numeric_limits<double>::epsilon() * scale;
    constexpr double kUlp = std::numeric_limits<double>::epsilon();
    cycle_.assign(next_.size(), kNone);
    for (uint32_t h0 = 0; h0 < next_.size(); ++h0) {
        if (cycle_[h0] != kNone) continue;
        if (Poll(poll)) return false;
        const auto c = static_cast<uint32_t>(cycleFirst_.size());
        cycleFirst_.push_back(h0);
        const TRealPoint& o = points_[Origin(h0)];
        double twice = 0, magnitude = 0, extent = 0;
        size_t count = 0;
        uint32_t h = h0;
        do {
            cycle_[h] = c;
            const TRealPoint& p = points_[Origin(h)];
            const TRealPoint& q = points_[Origin(h ^ 1u)];
            const double px = p.X - o.X, py = p.Y - o.Y, qx = q.X - o.X, qy = q.Y - o.Y;
            twice += px * qy - qx * py;
            magnitude += std::fabs(px * qy) + std::fabs(qx * py);
            extent += std::fabs(px) + std::fabs(py) + std::fabs(qx) + std::fabs(qy);
            ++count;
            h = next_[h];
        } while (h != h0);
        bool walkedBothWays = true;
        h = h0;
        do {
            walkedBothWays = walkedBothWays && cycle_[h ^ 1u] == c;
            h = next_[h];
        } while (h != h0 && walkedBothWays);
        const double error = 4 * pointError * extent + 4 * double(count + 2) * kUlp * magnitude;
        if (walkedBothWays) {
            twice = 0;
        } else if (std::fabs(twice) <= error) {
            return false;
        }
        area_.push_back(twice / 2);
    }
    return true;
}

// The face around each component: the face below the first piece met straight up
// from the component's top end, found for the highest components first so that a
// component met from below already knows its own surroundings.
bool THalfedges::PlaceComponents() {
    const size_t cycles = cycleFirst_.size();
    cycleFace_.assign(cycles, kOutside);
    container_.assign(cycles, kOutside);
    std::vector<uint32_t> outsides;
    std::vector<TIntPoint> top(cycles);
    for (uint32_t c = 0; c < cycles; ++c) {
        if (area_[c] > 0) {
            cycleFace_[c] = faceCount_++;
            continue;
        }
        // The top (then leftmost) point of a component is a drawn end: an edge's
        // highest point is one of its ends.
        bool found = false;
        uint32_t h = cycleFirst_[c];
        do {
            const uint32_t v = Origin(h);
            if (noding_.IsEnd(v)) {
                const TIntPoint p = noding_.End(v);
                if (!found || p.y > top[c].y || (p.y == top[c].y && p.x < top[c].x)) top[c] = p;
                found = true;
            }
            h = next_[h];
        } while (h != cycleFirst_[c]);
        if (!found) return false;
        outsides.push_back(c);
    }
    std::sort(outsides.begin(), outsides.end(),
              [&top](uint32_t a, uint32_t b) { return top[a].y > top[b].y; });
    std::vector<char> placed(cycles, 0);
    for (uint32_t c : outsides) {
        const uint32_t piece = noding_.PieceAbove(top[c]);
        if (piece != kNone) {
            // The halfedge running right to left has the face below the piece on its left.
            const uint32_t h = 2 * piece + (pieces_[piece].dx < 0 ? 0u : 1u);
            const uint32_t around = cycle_[h];
            if (area_[around] > 0) {
                container_[c] = cycleFace_[around];
            } else if (placed[around]) {
                container_[c] = container_[around];
            } else {
                return false;
            }
        }
        placed[c] = 1;
    }
    return true;
}

// The closed cycles of one boundary, without the pieces that have the same face on
// both sides: as in the arrangement, a stack of open cycles separates them again.
void THalfedges::AppendRings(uint32_t first, TAr2RealPoint& rings,
                             std::vector<std::vector<uint32_t>>& ringEdges,
                             std::vector<uint32_t>& slots) const {
    std::vector<std::vector<uint32_t>> open;
    auto target = [this](uint32_t h) { return Origin(h ^ 1u); };
    auto emitRing = [&](std::vector<uint32_t>& cycle) {
        TAryRealPoint ring;
        ring.reserve(cycle.size() + 1);
        ring.push_back(points_[Origin(cycle.front())]);
        for (uint32_t h : cycle) ring.push_back(points_[target(h)]);
        ring.back() = ring.front();
        if (ring.size() < 4) return;
        rings.push_back(std::move(ring));
        ringEdges.push_back(std::move(cycle));
    };
    auto vertexOf = [&](uint32_t h, bool end) {
        return static_cast<size_t>(end ? target(h) : Origin(h));
    };
    auto finish = [&](std::vector<uint32_t>& cycle) {
        EmitSimpleLoops(cycle, vertexOf, slots, emitRing);
    };
    auto closed = [&](const std::vector<uint32_t>& c) {
        return Origin(c.front()) == target(c.back());
    };
    uint32_t h = first;
    do {
        if (FaceOf(h ^ 1u) != FaceOf(h)) {
            while (!open.empty() && target(open.back().back()) != Origin(h) &&
                   closed(open.back())) {
                finish(open.back());
                open.pop_back();
            }
            if (!open.empty() && target(open.back().back()) == Origin(h)) {
                open.back().push_back(h);
            } else {
                open.push_back({h});
            }
        }
        h = next_[h];
    } while (h != first);
    for (auto& cycle : open) {
        if (closed(cycle)) finish(cycle);
    }
}

bool THalfedges::CollectFaces(const AbortPoll& poll, TArrangementOutput& out) {
    // Each face's cycles: its outer cycle and the outsides of the components in it.
    const auto outside = static_cast<size_t>(faceCount_);
    faceCycleStart_.assign(outside + 2, 0);
    auto faceIndex = [outside](int32_t f) { return f == kOutside ? outside : size_t(f); };
    auto faceOfCycle = [this](uint32_t c) { return area_[c] > 0 ? cycleFace_[c] : container_[c]; };
    for (uint32_t c = 0; c < cycleFirst_.size(); ++c)
        ++faceCycleStart_[faceIndex(faceOfCycle(c)) + 1];
    for (size_t f = 1; f < faceCycleStart_.size(); ++f)
        faceCycleStart_[f] += faceCycleStart_[f - 1];
    faceCycles_.resize(cycleFirst_.size());
    {
        std::vector<uint32_t> fill(faceCycleStart_.begin(), faceCycleStart_.end() - 1);
        // Outer cycles first, so a face's outer boundary comes before its holes.
        for (int pass = 0; pass < 2; ++pass) {
            for (uint32_t c = 0; c < cycleFirst_.size(); ++c) {
                if ((area_[c] > 0) == (pass == 0))
                    faceCycles_[fill[faceIndex(faceOfCycle(c))]++] = c;
            }
        }
    }
    mark_.assign(next_.size(), kUnset);
    out.faces.resize(outside);
    std::vector<std::vector<uint32_t>> ringEdges;
    std::vector<uint32_t> slots(points_.size(), 0);
    for (size_t f = 0; f <= outside; ++f) {
        if (Poll(poll)) return false;
        if (f == outside) {
            for (uint32_t k = faceCycleStart_[f]; k < faceCycleStart_[f + 1]; ++k) {
                uint32_t h = cycleFirst_[faceCycles_[k]];
                do {
                    if (FaceOf(h ^ 1u) != FaceOf(h)) mark_[h] = kOnHoleRing;
                    h = next_[h];
                } while (h != cycleFirst_[faceCycles_[k]]);
            }
            continue;
        }
        TArrangementFace& face = out.faces[f];
        ringEdges.clear();
        for (uint32_t k = faceCycleStart_[f]; k < faceCycleStart_[f + 1]; ++k) {
            AppendRings(cycleFirst_[faceCycles_[k]], face.rings, ringEdges, slots);
        }
        // The outer ring is the one of largest area, as the face's region takes it.
        size_t outer = 0;
        for (size_t i = 1; i < face.rings.size(); ++i) {
            if (SignedArea(face.rings[i]) > SignedArea(face.rings[outer])) outer = i;
        }
        for (size_t i = 0; i < ringEdges.size(); ++i) {
            for (uint32_t h : ringEdges[i]) mark_[h] = i == outer ? kOnOuterRing : kOnHoleRing;
        }
    }
    return true;
}

// Depth and parent by walking the faces from the outside, as the arrangement's faces
// are walked: across a hole ring one level deeper, across outer rings on both sides
// the same level.
void THalfedges::SetDepths(TArrangementOutput& out) const {
    const auto outside = static_cast<size_t>(faceCount_);
    auto index = [outside](int32_t f) { return f == kOutside ? outside : size_t(f); };
    std::vector<char> seen(outside + 1, 0);
    std::vector<int32_t> depth(outside + 1, -1);
    std::vector<int32_t> parent(outside + 1, -1);
    std::vector<size_t> queue{outside};
    seen[outside] = 1;
    for (size_t head = 0; head < queue.size(); ++head) {
        const size_t from = queue[head];
        for (uint32_t k = faceCycleStart_[from]; k < faceCycleStart_[from + 1]; ++k) {
            const uint32_t first = cycleFirst_[faceCycles_[k]];
            uint32_t h = first;
            do {
                const uint32_t twin = h ^ 1u;
                const size_t to = index(FaceOf(twin));
                if (mark_[h] != kUnset && mark_[twin] != kUnset && to != from && !seen[to]) {
                    bool reached = true;
                    if (mark_[h] == kOnHoleRing) {
                        depth[to] = depth[from] + 1;
                        parent[to] = from == outside ? -1 : static_cast<int32_t>(from);
                    } else if (mark_[twin] == kOnOuterRing) {
                        depth[to] = depth[from];
                        parent[to] = parent[from];
                    } else {
                        reached = false;  // the way out of an island
                    }
                    if (reached) {
                        seen[to] = 1;
                        queue.push_back(to);
                    }
                }
                h = next_[h];
            } while (h != first);
        }
    }
    for (size_t i = 0; i < outside; ++i) {
        out.faces[i].depth = std::max(depth[i], 0);
        out.faces[i].parent = parent[i];
    }
}

bool THalfedges::Build(const AbortPoll& poll, const FaceProgress& progress,
                       TArrangementOutput& out) {
    auto stopAt = [&](double fraction) {
        if (progress) progress(fraction);
        aborted_ = aborted_ || CheckAbort(poll);
        return aborted_;
    };
    LinkAroundVertices();
    if (stopAt(0.6) || !FollowCycles(poll) || !PlaceComponents() || stopAt(0.7)) return false;
    if (!CollectFaces(poll, out) || stopAt(0.9)) return false;
    SetDepths(out);
    // Ends that meet nothing: vertices with a single piece.
    std::vector<uint32_t> degree(points_.size(), 0);
    for (const TGridNoding::TPiece& p : pieces_) ++degree[p.from], ++degree[p.to];
    for (const TGridNoding::TPiece& p : pieces_) {
        if (degree[p.from] == 1) out.dangles.push_back({points_[p.from], points_[p.to]});
        if (degree[p.to] == 1) out.dangles.push_back({points_[p.to], points_[p.from]});
    }
    return true;
}

}  // namespace

bool BuildGridFaces(const std::vector<TFaceEdge>& edges, const AbortPoll& poll,
                    const FaceProgress& progress, TArrangementOutput& out) {
    out = TArrangementOutput{};
    try {
        TGridNoding noding;
        const TGridNoding::TResult noded = noding.Node(edges, poll, progress);
        if (noded == TGridNoding::TResult::NotOnGrid || noded == TGridNoding::TResult::Declined) {
            return false;
        }
        if (noded == TGridNoding::TResult::Aborted) {
            out.aborted = true;
            return true;
        }
        THalfedges halfedges(noding);
        if (!halfedges.Build(poll, progress, out)) {
            out = TArrangementOutput{};
            out.aborted = halfedges.Aborted();
            return out.aborted;
        }
        if (CheckAbort(poll)) {
            out = TArrangementOutput{};
            out.aborted = true;
            return true;
        }
        if (progress) progress(1.0);
    } catch (const std::bad_alloc&) {
        out = TArrangementOutput{};
        out.failed = true;
    }
    return true;
}

}  // namespace veldra
