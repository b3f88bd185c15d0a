#pragma once

// Internal to the reader: records collected while a file is read, handed to the store's
// lists once at the end. A growing list copies all its records at every doubling and,
// while it does, holds up to three times their bytes; collected in chunks that never
// move and then moved into lists sized once, a read never holds more than twice its
// records (besides its line buffers).

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

#include "exchange/entity_store.h"

namespace veldra {

template <class Record>
class TChunkedRecords {
  public:
    size_t size() const { return size_; }

    // A new zero-filled record at the end; records already there stay where they are.
    Record& Append() {
        if (chunks_.empty() || chunks_.back().size() == chunks_.back().capacity()) AddChunk();
        ++size_;
        return chunks_.back().emplace_back();
    }

    // Moves the records to the end of `list`. An empty list is sized exactly; a list
    // that already holds records grows as usual, so that line-by-line callers stay
    // linear. Throws (moving nothing) when memory runs out; each chunk is freed as soon
    // as it is moved.
    void MoveTo(std::vector<Record>& list) {
        if (size_ == 0) return;
        const size_t needed = list.size() + size_;
        if (needed > list.capacity())
            list.reserve(list.empty() ? needed : std::max(needed, 2 * list.capacity()));
        for (std::vector<Record>& chunk : chunks_) {
            list.insert(list.end(), std::make_move_iterator(chunk.begin()),
                        std::make_move_iterator(chunk.end()));
            std::vector<Record>().swap(chunk);
        }
        Clear();
    }

    // Gives back the room the last chunk has not used yet.
    void Tighten() {
        if (!chunks_.empty()) chunks_.back().shrink_to_fit();
    }

    void Clear() {
        std::vector<std::vector<Record>>().swap(chunks_);
        size_ = 0;
    }

  private:
    // Each chunk holds an eighth of the records so far (from 16 records up to 64 KiB),
    // so that the room not yet used stays small against the records themselves.
    void AddChunk() {
        constexpr size_t kFewest = 16;
        constexpr size_t kMost = std::max<size_t>(kFewest, (size_t{64} << 10) / sizeof(Record));
        std::vector<Record> chunk;
        chunk.reserve(std::clamp(size_ / 8, kFewest, kMost));
        chunks_.push_back(std::move(chunk));
    }

    std::vector<std::vector<Record>> chunks_;
    size_t size_ = 0;
};

// The records of one read, list by list under the store's names, and their order.
class TEntityStaging {
  public:
    explicit TEntityStaging(TJwwEntityStore& store) : state(store.state), store_(store) {}
    TEntityStaging(const TEntityStaging&) = delete;
    TEntityStaging& operator=(const TEntityStaging&) = delete;

    // The index the next record of `kind` will have in the store's list.
    size_t NextIndex(EntityKind kind, size_t stagedOfKind) const {
        return store_.CountOf(kind) + stagedOfKind;
    }

    // Moves every record into the store, list by list: the chunks of a list are given
    // back as its records move, and no chunk holds unused room by then, so that at no
    // moment more than the records themselves plus the list being moved are held. False
    // when memory ran out for a list: its new records are then dropped with their order
    // entries, and the store stays consistent.
    bool MoveIntoStore();

    TJwwDrawingState& state;
    TChunkedRecords<TJwwEntLine> lines;
    TChunkedRecords<TJwwEntCircle> circles;
    TChunkedRecords<TJwwEntArc> arcs;
    TChunkedRecords<TJwwEntText> texts;
    TChunkedRecords<TJwwEntPoint> points;
    TChunkedRecords<TJwwEntPointEx> pointExs;
    TChunkedRecords<TJwwEntDim> dims;
    TChunkedRecords<TJwwEntBlk> blocks;
    TChunkedRecords<TJwwEntSolid2> solid2s;
    TChunkedRecords<TJwwEntSolid3> solid3s;
    TChunkedRecords<TJwwEntSolid4> solid4s;
    TChunkedRecords<TJwwEntSolidSc> solidScs;
    TChunkedRecords<TJwwEntSolidSe> solidSes;
    TChunkedRecords<TJwwEntSolidSo> solidSos;
    TChunkedRecords<TJwwEntSolidSg> solidSgs;
    TChunkedRecords<TJwwEntityRef> creationOrder;

  private:
    TJwwEntityStore& store_;
};

// Appends a new zero-filled record of `kind`, stamps its header from the current
// attributes and records it in the creation order; the caller fills the rest.
template <class Record>
Record& AppendEntity(TEntityStaging& staged, TChunkedRecords<Record>& list, EntityKind kind) {
    const size_t index = staged.NextIndex(kind, list.size());
    Record& record = list.Append();
    record.head = CurrentHead(staged.state);
    staged.creationOrder.Append() = {kind, static_cast<int32_t>(index)};
    return record;
}

}  // namespace veldra
