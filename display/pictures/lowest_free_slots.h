#pragma once

// The slots of a metafile's object table: a created object takes the lowest free
// slot, as the format requires. Slots never used yet are counted by a high-water
// mark and freed slots are kept in a min-heap, so taking and freeing cost O(log n)
// rather than a scan of the whole table.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace veldra {

class TLowestFreeSlots {
  public:
    explicit TLowestFreeSlots(int count) : used_(static_cast<size_t>(std::max(count, 0)), false) {}

    int Size() const { return static_cast<int>(used_.size()); }
    bool IsUsed(int slot) const {
        return slot >= 0 && slot < Size() && used_[static_cast<size_t>(slot)];
    }

    // The lowest free slot, now marked used; -1 when the table is full.
    int Take() {
        int slot = -1;
        if (!freed_.empty()) {
            std::pop_heap(freed_.begin(), freed_.end(), std::greater<>{});
            slot = freed_.back();
            freed_.pop_back();
            steps_ += HeapSteps();
        } else if (fresh_ < Size()) {
            slot = fresh_++;
        } else {
            return -1;
        }
        ++steps_;
        used_[static_cast<size_t>(slot)] = true;
        return slot;
    }
    // Frees a used slot; anything else is ignored.
    void Free(int slot) {
        ++steps_;
        if (!IsUsed(slot)) return;
        used_[static_cast<size_t>(slot)] = false;
        freed_.push_back(slot);
        std::push_heap(freed_.begin(), freed_.end(), std::greater<>{});
        steps_ += HeapSteps();
    }

    // Elementary steps spent so far (a bound on the time taken).
    int64_t Steps() const { return steps_; }

  private:
    // Levels of the heap: what one push or pop walks at most.
    int64_t HeapSteps() const {
        int64_t levels = 1;
        for (size_t n = freed_.size(); n > 1; n /= 2) ++levels;
        return levels;
    }

    std::vector<bool> used_;
    std::vector<int> freed_;  // min-heap of freed slots below fresh_
    int fresh_ = 0;           // every slot from here on was never used
    int64_t steps_ = 0;
};

}  // namespace veldra
