// The only file that includes the geometry library: an arrangement of segments over
// the exact kernel (exact predicates and exact constructions, so crossings of nearly
// parallel or nested figures are decided correctly), filled by one aggregated sweep
// that asks the poll as it goes.

#include "regions/faces_arrangement.h"
#include "regions/faces_rings.h"

#include <CGAL/Arr_extended_dcel.h>
#include <CGAL/Arr_segment_traits_2.h>
#include <CGAL/Arrangement_2.h>
#include <CGAL/Exact_predicates_exact_constructions_kernel.h>
#include <CGAL/Surface_sweep_2.h>
#include <CGAL/Surface_sweep_2/Arr_construction_event.h>
#include <CGAL/Surface_sweep_2/Arr_construction_ss_visitor.h>
#include <CGAL/Surface_sweep_2/Arr_construction_subcurve.h>
#include <gmp.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <new>

namespace veldra {

namespace {

using Kernel = CGAL::Exact_predicates_exact_constructions_kernel;
using Traits = CGAL::Arr_segment_traits_2<Kernel>;
// Halfedges carry which ring of their face they lie on, vertices and faces their
// output position.
using Dcel = CGAL::Arr_extended_dcel<Traits, int32_t, int32_t, int32_t>;
using Arrangement = CGAL::Arrangement_2<Traits, Dcel>;
using Halfedge = Arrangement::Halfedge_handle;
using Ccb = Arrangement::Ccb_halfedge_circulator;

constexpr int32_t kUnset = -1;
// How often the sweep and the passes over the result ask the poll (about 30 ms of
// sweep on a dense hatch). A key press between two polls is not lost when the poll
// reads a flag the key event set (see StopFlagPoll).
constexpr uint32_t kPollEvery = 1024;

class TPoller {
  public:
    TPoller(const AbortPoll& poll, const FaceProgress& progress, uint64_t expected)
        : poll_(poll), progress_(progress), expected_(expected) {}
    bool Stop() {
        if (stopped_) return true;
        if (++count_ % kPollEvery == 0) {
            Report();
            stopped_ = CheckAbort(poll_);
        }
        return stopped_;
    }
    bool StopNow() { return stopped_ = stopped_ || CheckAbort(poll_); }
    // The sweep is most of the work: it runs to 90 %, the passes after it to 100 %.
    void SweepDone() {
        sweepDone_ = true;
        count_ = 0;
    }

  private:
    void Report() {
        if (!progress_ || expected_ == 0) return;
        const double part = std::min(1.0, double(count_) / double(expected_));
        progress_(sweepDone_ ? 0.9 + 0.1 * std::min(1.0, part / 4) : 0.9 * part);
    }

    const AbortPoll& poll_;
    const FaceProgress& progress_;
    uint64_t expected_;
    uint64_t count_ = 0;
    bool stopped_ = false;
    bool sweepDone_ = false;
};

// The library's construction visitor, asking the poll between sweep events and ending
// the sweep early, the library's own way, when told to stop. What was built by then
// is thrown away.
template <typename Helper>
class TPollingVisitor : public CGAL::Arr_construction_ss_visitor<Helper, TPollingVisitor<Helper>> {
    using Base = CGAL::Arr_construction_ss_visitor<Helper, TPollingVisitor<Helper>>;

  public:
    TPollingVisitor(typename Helper::Arrangement_2* arr, TPoller& poller)
        : Base(arr), poller_(poller) {}

    template <typename Event, typename StatusLineIterator>
    bool after_handle_event(Event* event, StatusLineIterator above, bool onAbove) {
        const bool release = Base::after_handle_event(event, above, onAbove);
        if (!stopped_ && poller_.Stop()) {
            stopped_ = true;
            this->stop_sweep();
        }
        return release;
    }

  private:
    TPoller& poller_;
    bool stopped_ = false;
};

// CGAL::insert of curves into an empty arrangement, with the polling visitor.
void InsertCurves(Arrangement& arr, const std::vector<Traits::Curve_2>& curves, TPoller& poller) {
    using Surface = CGAL::Arrangement_on_surface_2<Traits, Arrangement::Topology_traits>;
    using Event = CGAL::Arr_construction_event<Traits, Surface, Surface::Allocator>;
    using Subcurve = CGAL::Arr_construction_subcurve<Traits, Event, Surface::Allocator>;
    using Helper = Arrangement::Topology_traits::template Construction_helper<Event, Subcurve>;
    using Visitor = TPollingVisitor<Helper>;
    Visitor visitor(&arr, poller);
    CGAL::Ss2::Surface_sweep_2<Visitor> sweep(arr.geometry_traits(), &visitor);
    sweep.sweep(curves.begin(), curves.end());
}

// The exact numbers allocate through GMP, whose own functions abort the program when
// memory runs out. These throw std::bad_alloc instead, which the build catches and
// reports as failed. Set once for the process (GMP has one set of functions).
void* GmpAllocate(size_t size) {
    void* p = std::malloc(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void* GmpReallocate(void* old, size_t, size_t size) {
    void* p = std::realloc(old, size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void GmpFree(void* p, size_t) {
    std::free(p);
}

void UseThrowingGmpAllocation() {
    static std::once_flag once;
    std::call_once(once, [] { mp_set_memory_functions(GmpAllocate, GmpReallocate, GmpFree); });
}

TRealPoint ToReal(const Kernel::Point_2& p) {
    return {CGAL::to_double(p.x()), CGAL::to_double(p.y())};
}

// The closed cycles of one boundary, without the edges that have the same face on
// both sides. Such an edge is walked out and back, so leaving it out leaves the
// cycles nested like brackets: a stack of open cycles separates them again. Each
// cycle comes with its halfedges.
void AppendRings(Ccb first, const std::vector<TRealPoint>& points, TAr2RealPoint& rings,
                 std::vector<std::vector<Halfedge>>& ringEdges, std::vector<uint32_t>& slots) {
    std::vector<std::vector<Halfedge>> open;
    auto at = [&points](auto vertex) { return points[static_cast<size_t>(vertex->data())]; };
    auto emitRing = [&](std::vector<Halfedge>& cycle) {
        TAryRealPoint ring;
        ring.reserve(cycle.size() + 1);
        ring.push_back(at(cycle.front()->source()));
        for (const Halfedge& h : cycle) ring.push_back(at(h->target()));
        ring.back() = ring.front();
        if (ring.size() < 4) return;
        rings.push_back(std::move(ring));
        ringEdges.push_back(std::move(cycle));
    };
    auto vertexOf = [](const Halfedge& h, bool end) {
        return static_cast<size_t>((end ? h->target() : h->source())->data());
    };
    auto finish = [&](std::vector<Halfedge>& cycle) {
        EmitSimpleLoops(cycle, vertexOf, slots, emitRing);
    };
    auto closed = [](const std::vector<Halfedge>& c) {
        return c.front()->source() == c.back()->target();
    };
    Ccb c = first;
    do {
        Halfedge h = c;
        if (h->twin()->face() == h->face()) continue;
        while (!open.empty() && open.back().back()->target() != h->source() &&
               closed(open.back())) {
            finish(open.back());
            open.pop_back();
        }
        if (!open.empty() && open.back().back()->target() == h->source()) {
            open.back().push_back(h);
        } else {
            open.push_back({h});
        }
    } while (++c != first);
    for (auto& cycle : open) {
        if (closed(cycle)) finish(cycle);
    }
}

// Halfedge marks: on the outer ring of its face, on a hole ring of its face (every
// boundary of the unbounded face counts as a hole of the outside), or on no ring.
constexpr int32_t kOnOuterRing = 0;
constexpr int32_t kOnHoleRing = 1;

// Depth and parent by walking the faces from the outside: across a hole ring of a face
// is one level deeper (its island, with that face as parent); across an edge on the
// outer rings of both faces is the same level (a neighbouring room, the same parent).
// A line joining an island to its surroundings runs through one face, so it changes
// neither. Nothing recurses, so deep nests cannot exhaust the stack.
void SetDepths(Arrangement& arr, int32_t bounded, TArrangementOutput& out) {
    const auto outside = static_cast<size_t>(bounded);
    auto indexOf = [outside](Arrangement::Face_handle f) {
        return f->is_unbounded() ? outside : static_cast<size_t>(f->data());
    };
    std::vector<char> seen(outside + 1, 0);
    std::vector<int32_t> depth(outside + 1, -1);
    std::vector<int32_t> parent(outside + 1, -1);
    std::vector<Arrangement::Face_handle> queue;
    for (auto f = arr.faces_begin(); f != arr.faces_end(); ++f) {
        if (f->is_unbounded() && !seen[outside]) {
            seen[outside] = 1;
            queue.push_back(f);
        }
    }
    for (size_t head = 0; head < queue.size(); ++head) {
        Arrangement::Face_handle f = queue[head];
        const size_t from = indexOf(f);
        auto visit = [&](Ccb first) {
            Ccb c = first;
            do {
                Halfedge h = c;
                if (h->data() == kUnset || h->twin()->data() == kUnset) continue;
                const size_t to = indexOf(h->twin()->face());
                if (to == from || seen[to]) continue;
                if (h->data() == kOnHoleRing) {
                    depth[to] = depth[from] + 1;
                    parent[to] = f->is_unbounded() ? -1 : static_cast<int32_t>(from);
                } else if (h->twin()->data() == kOnOuterRing) {
                    depth[to] = depth[from];
                    parent[to] = parent[from];
                } else {
                    continue;  // the way out of an island: its parent is reached otherwise
                }
                seen[to] = 1;
                queue.push_back(h->twin()->face());
            } while (++c != first);
        };
        if (!f->is_unbounded()) visit(f->outer_ccb());
        for (auto hole = f->inner_ccbs_begin(); hole != f->inner_ccbs_end(); ++hole) visit(*hole);
    }
    for (size_t i = 0; i < outside; ++i) {
        out.faces[i].depth = std::max(depth[i], 0);
        out.faces[i].parent = parent[i];
    }
}

void CollectFaces(Arrangement& arr, TPoller& poller, TArrangementOutput& out) {
    for (auto h = arr.halfedges_begin(); h != arr.halfedges_end(); ++h) h->set_data(kUnset);
    // Every vertex converted once, whatever the number of rings through it.
    std::vector<TRealPoint> points;
    points.reserve(arr.number_of_vertices());
    for (auto v = arr.vertices_begin(); v != arr.vertices_end(); ++v) {
        v->set_data(static_cast<int32_t>(points.size()));
        points.push_back(ToReal(v->point()));
    }
    int32_t next = 0;
    for (auto f = arr.faces_begin(); f != arr.faces_end(); ++f) {
        f->set_data(f->is_unbounded() ? kUnset : next++);
    }
    out.faces.resize(static_cast<size_t>(next));
    std::vector<std::vector<Halfedge>> ringEdges;
    std::vector<uint32_t> slots(points.size(), 0);
    for (auto f = arr.faces_begin(); f != arr.faces_end(); ++f) {
        if (poller.Stop()) return;
        if (f->is_unbounded()) {
            for (auto hole = f->inner_ccbs_begin(); hole != f->inner_ccbs_end(); ++hole) {
                Ccb c = *hole, first = *hole;
                do {
                    if (c->twin()->face() != c->face()) c->set_data(kOnHoleRing);
                } while (++c != first);
            }
            continue;
        }
        TArrangementFace& face = out.faces[static_cast<size_t>(f->data())];
        ringEdges.clear();
        AppendRings(f->outer_ccb(), points, face.rings, ringEdges, slots);
        for (auto hole = f->inner_ccbs_begin(); hole != f->inner_ccbs_end(); ++hole) {
            AppendRings(*hole, points, face.rings, ringEdges, slots);
        }
        // The outer ring is the one of largest area, as the face's region takes it.
        size_t outer = 0;
        for (size_t i = 1; i < face.rings.size(); ++i) {
            if (SignedArea(face.rings[i]) > SignedArea(face.rings[outer])) outer = i;
        }
        for (size_t i = 0; i < ringEdges.size(); ++i) {
            for (const Halfedge& h : ringEdges[i])
                h->set_data(i == outer ? kOnOuterRing : kOnHoleRing);
        }
    }
    SetDepths(arr, next, out);
}

void CollectDangles(const Arrangement& arr, TArrangementOutput& out) {
    for (auto v = arr.vertices_begin(); v != arr.vertices_end(); ++v) {
        if (v->degree() != 1) continue;
        auto h = v->incident_halfedges();  // points into v
        out.dangles.push_back({ToReal(v->point()), ToReal(h->source()->point())});
    }
}

}  // namespace

TArrangementOutput BuildArrangementFaces(const std::vector<TFaceEdge>& edges, const AbortPoll& poll,
                                         const FaceProgress& progress, uint64_t expectedEvents) {
    UseThrowingGmpAllocation();
    TArrangementOutput out;
    TPoller poller(poll, progress, expectedEvents);
    try {
        std::vector<Traits::Curve_2> curves;
        curves.reserve(edges.size());
        for (const TFaceEdge& e : edges) {
            curves.emplace_back(Kernel::Point_2(e.a.X, e.a.Y), Kernel::Point_2(e.b.X, e.b.Y));
        }
        if (poller.StopNow()) {
            out.aborted = true;
            return out;
        }
        Arrangement arr;
        InsertCurves(arr, curves, poller);
        poller.SweepDone();
        curves = {};
        if (poller.StopNow()) {
            out.aborted = true;
            return out;
        }
        if (!poller.Stop()) CollectFaces(arr, poller, out);
        if (!poller.StopNow()) CollectDangles(arr, out);
        if (poller.Stop()) {
            out = TArrangementOutput{};
            out.aborted = true;
        } else if (progress) {
            progress(1.0);
        }
    } catch (const std::exception&) {
        // A refused precondition of the library or no memory: no faces rather than a
        // half-built result.
        out = TArrangementOutput{};
        out.failed = true;
    }
    return out;
}

}  // namespace veldra
