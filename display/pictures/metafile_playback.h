#pragma once

// How one playing of a metafile is run: the redraw's abort poll reaches inside long
// metafiles, and the work done is counted so that callers (and tests) can see it
// stays in proportion to the file.

#include <cstdint>

#include "common/abort_poll.h"

namespace veldra {

// Work units between two questions to the abort poll: one a record plus one a
// point, so that a few huge polygons poll as often as many small records.
inline constexpr int64_t kMetafilePollWork = 4096;

struct TMetafilePlayback {
    const AbortPoll* abort = nullptr;  // may be null: never stops
    bool aborted = false;              // the poll asked to stop; the rest was not drawn
    int64_t records = 0;               // records played
    int64_t work = 0;                  // records, points and object-table steps
};

// Counts `units` of work and asks the poll when another kMetafilePollWork units
// have passed. True when playing must stop.
class TMetafileWorkMeter {
  public:
    explicit TMetafileWorkMeter(TMetafilePlayback* playback) : playback_(playback) {}

    void Add(int64_t units) { work_ += units; }
    bool NextRecordStops() {
        ++records_;
        ++work_;
        if (playback_ == nullptr || work_ < nextPoll_) return false;
        nextPoll_ = work_ + kMetafilePollWork;
        if (playback_->abort != nullptr && CheckAbort(*playback_->abort)) {
            playback_->aborted = true;
            return true;
        }
        return false;
    }
    // Copies the counts into the playback record.
    void Report() const {
        if (playback_ == nullptr) return;
        playback_->records += records_;
        playback_->work += work_;
    }

  private:
    TMetafilePlayback* playback_;
    int64_t records_ = 0;
    int64_t work_ = 0;
    int64_t nextPoll_ = kMetafilePollWork;
};

}  // namespace veldra
