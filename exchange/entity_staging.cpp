#include "exchange/entity_staging.h"

#include <array>
#include <new>

namespace veldra {

bool TEntityStaging::MoveIntoStore() {
    std::vector<TJwwEntityRef>& order = store_.creationOrder;
    // The order's room is taken first, so that it can always take the entries of the
    // lists that did move.
    try {
        if (order.size() + creationOrder.size() > order.capacity())
            order.reserve(order.empty() ? creationOrder.size()
                                        : std::max(order.size() + creationOrder.size(),
                                                   2 * order.capacity()));
    } catch (const std::bad_alloc&) {
        creationOrder.Clear();
        return false;
    }
    std::array<bool, kEntityKindCount + 1> moved{};
    bool complete = true;
    auto move = [&](auto& staged, auto& list, EntityKind kind) {
        try {
            staged.MoveTo(list);
            moved[static_cast<size_t>(kind)] = true;
        } catch (const std::bad_alloc&) {
            staged.Clear();
            complete = false;
        }
    };
    move(lines, store_.lines, EntityKind::Line);
    move(circles, store_.circles, EntityKind::Circle);
    move(arcs, store_.arcs, EntityKind::Arc);
    move(texts, store_.texts, EntityKind::Text);
    move(points, store_.points, EntityKind::Point);
    move(pointExs, store_.pointExs, EntityKind::PointEx);
    move(dims, store_.dims, EntityKind::Dim);
    move(blocks, store_.blocks, EntityKind::Blk);
    move(solid2s, store_.solid2s, EntityKind::Solid2);
    move(solid3s, store_.solid3s, EntityKind::Solid3);
    move(solid4s, store_.solid4s, EntityKind::Solid4);
    move(solidScs, store_.solidScs, EntityKind::SolidSc);
    move(solidSes, store_.solidSes, EntityKind::SolidSe);
    move(solidSos, store_.solidSos, EntityKind::SolidSo);
    move(solidSgs, store_.solidSgs, EntityKind::SolidSg);
    creationOrder.ForEach([&](const TJwwEntityRef& ref) {
        const auto kind = static_cast<size_t>(ref.kind);
        if (kind < moved.size() && moved[kind]) order.push_back(ref);
    });
    creationOrder.Clear();
    return complete;
}

}  // namespace veldra
