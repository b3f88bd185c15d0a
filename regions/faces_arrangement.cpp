// The only file that includes the geometry library: an arrangement of segments over
// the exact kernel (exact predicates and exact constructions, so crossings of nearly
// parallel or nested figures are decided correctly), filled by one aggregated sweep
// that asks the poll as it goes.

#include "regions/faces_arrangement.h"

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
// Halfedges carry their connected piece of linework, faces their output position.
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

// Numbers every connected piece of linework on its halfedges: the closure of a
// halfedge under next and twin is its whole piece.
int32_t LabelPieces(Arrangement& arr, TPoller& poller) {
    for (auto h = arr.halfedges_begin(); h != arr.halfedges_end(); ++h) h->set_data(kUnset);
    int32_t pieces = 0;
    std::vector<Halfedge> stack;
    for (auto e = arr.halfedges_begin(); e != arr.halfedges_end(); ++e) {
        if (e->data() != kUnset) continue;
        stack.push_back(e);
        while (!stack.empty()) {
            Halfedge h = stack.back();
            stack.pop_back();
            if (h->data() != kUnset) continue;
            h->set_data(pieces);
            stack.push_back(h->twin());
            stack.push_back(h->next());
        }
        ++pieces;
        if (poller.Stop()) break;
    }
    return pieces;
}

// The closed cycles of one boundary, without the edges that have the same face on
// both sides. Such an edge is walked out and back, so leaving it out leaves the
// cycles nested like brackets: a stack of open cycles separates them again.
void AppendRings(Ccb first, const std::vector<TRealPoint>& points, TAr2RealPoint& rings) {
    std::vector<std::vector<Halfedge>> open;
    auto at = [&points](auto vertex) { return points[static_cast<size_t>(vertex->data())]; };
    auto finish = [&](const std::vector<Halfedge>& cycle) {
        TAryRealPoint ring;
        ring.reserve(cycle.size() + 1);
        ring.push_back(at(cycle.front()->source()));
        for (const Halfedge& h : cycle) ring.push_back(at(h->target()));
        ring.back() = ring.front();
        if (ring.size() >= 4) rings.push_back(std::move(ring));
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
    for (const auto& cycle : open) {
        if (closed(cycle)) finish(cycle);
    }
}

// Depth by the fewest edges crossed from the unbounded face: a breadth-first walk over
// the faces, across every boundary edge. Edges with one face on both sides (bridges,
// dangling lines) lead nowhere new, so a line joining an island to its surroundings
// does not change how deep the island is.
void SetDepths(Arrangement& arr, int32_t bounded, TArrangementOutput& out) {
    const auto unbounded = static_cast<size_t>(bounded);
    auto indexOf = [unbounded](Arrangement::Face_handle f) {
        return f->is_unbounded() ? unbounded : static_cast<size_t>(f->data());
    };
    std::vector<int32_t> distance(unbounded + 1, -1);
    std::vector<Arrangement::Face_handle> queue;
    for (auto f = arr.faces_begin(); f != arr.faces_end(); ++f) {
        if (f->is_unbounded() && distance[unbounded] < 0) {
            distance[unbounded] = 0;
            queue.push_back(f);
        }
    }
    auto visitCcb = [&](Ccb first, int32_t d) {
        Ccb c = first;
        do {
            Arrangement::Face_handle g = c->twin()->face();
            int32_t& known = distance[indexOf(g)];
            if (known < 0) {
                known = d + 1;
                queue.push_back(g);
            }
        } while (++c != first);
    };
    for (size_t head = 0; head < queue.size(); ++head) {
        Arrangement::Face_handle f = queue[head];
        const int32_t d = distance[indexOf(f)];
        if (!f->is_unbounded()) visitCcb(f->outer_ccb(), d);
        for (auto hole = f->inner_ccbs_begin(); hole != f->inner_ccbs_end(); ++hole) {
            visitCcb(*hole, d);
        }
    }
    for (size_t i = 0; i < unbounded; ++i) out.faces[i].depth = std::max(distance[i] - 1, 0);
}

void CollectFaces(Arrangement& arr, int32_t pieces, TPoller& poller, TArrangementOutput& out) {
    // The face whose hole a piece of linework is, by piece.
    std::vector<int32_t> container(static_cast<size_t>(pieces), kUnset);
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
    for (auto f = arr.faces_begin(); f != arr.faces_end(); ++f) {
        if (poller.Stop()) return;
        for (auto hole = f->inner_ccbs_begin(); hole != f->inner_ccbs_end(); ++hole) {
            container[static_cast<size_t>((*hole)->data())] = f->data();
        }
        if (f->is_unbounded()) continue;
        TArrangementFace& face = out.faces[static_cast<size_t>(f->data())];
        AppendRings(f->outer_ccb(), points, face.rings);
        for (auto hole = f->inner_ccbs_begin(); hole != f->inner_ccbs_end(); ++hole) {
            AppendRings(*hole, points, face.rings);
        }
    }
    for (auto f = arr.faces_begin(); f != arr.faces_end(); ++f) {
        if (f->is_unbounded()) continue;
        out.faces[static_cast<size_t>(f->data())].parent =
            container[static_cast<size_t>(f->outer_ccb()->data())];
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
        const int32_t pieces = LabelPieces(arr, poller);
        if (!poller.Stop()) CollectFaces(arr, pieces, poller, out);
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
