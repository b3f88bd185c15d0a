#include "exchange/entity_staging.h"

#include <algorithm>
#include <array>
#include <new>

namespace veldra {

bool TEntityStaging::MoveIntoStore() {
    auto forEachList = [&](auto&& apply) {
        apply(lines, store_.lines, EntityKind::Line);
        apply(circles, store_.circles, EntityKind::Circle);
        apply(arcs, store_.arcs, EntityKind::Arc);
        apply(texts, store_.texts, EntityKind::Text);
        apply(points, store_.points, EntityKind::Point);
        apply(pointExs, store_.pointExs, EntityKind::PointEx);
        apply(dims, store_.dims, EntityKind::Dim);
        apply(blocks, store_.blocks, EntityKind::Blk);
        apply(solid2s, store_.solid2s, EntityKind::Solid2);
        apply(solid3s, store_.solid3s, EntityKind::Solid3);
        apply(solid4s, store_.solid4s, EntityKind::Solid4);
        apply(solidScs, store_.solidScs, EntityKind::SolidSc);
        apply(solidSes, store_.solidSes, EntityKind::SolidSe);
        apply(solidSos, store_.solidSos, EntityKind::SolidSo);
        apply(solidSgs, store_.solidSgs, EntityKind::SolidSg);
    };
    forEachList([](auto& staged, auto&, EntityKind) { staged.Tighten(); });
    creationOrder.Tighten();
    std::vector<TJwwEntityRef>& order = store_.creationOrder;
    const size_t orderBefore = order.size();
    try {
        creationOrder.MoveTo(order);
    } catch (const std::bad_alloc&) {
        creationOrder.Clear();
        forEachList([](auto& staged, auto&, EntityKind) { staged.Clear(); });
        return false;
    }
    std::array<bool, kEntityKindCount + 1> lost{};
    bool complete = true;
    forEachList([&](auto& staged, auto& list, EntityKind kind) {
        try {
            staged.MoveTo(list);
        } catch (const std::bad_alloc&) {
            staged.Clear();
            lost[static_cast<size_t>(kind)] = true;
            complete = false;
        }
    });
    if (!complete) {
        // Dropping entries moves the others within the list: no memory is needed.
        auto isLost = [&](const TJwwEntityRef& ref) {
            const auto kind = static_cast<size_t>(ref.kind);
            return kind < lost.size() && lost[kind];
        };
        order.erase(std::remove_if(order.begin() + static_cast<std::ptrdiff_t>(orderBefore),
                                   order.end(), isLost),
                    order.end());
    }
    return complete;
}

}  // namespace veldra
