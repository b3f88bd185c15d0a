#pragma once

// Long work of the window (the region build of the preview, the fill command) on a
// thread of its own, so the window keeps painting and answering keys meanwhile. One
// job is current at a time. Stop sets the job's stop flag, which the work's polls read
// (StopFlagPoll), so a quick tap of Escape between two polls still counts; the work
// then ends early and its result still comes. Abandon also drops the result: the
// window goes on at once, while work that cannot be interrupted runs to its end on its
// own thread. Every thread is joined before this object goes, so the inputs a work
// reads by reference must outlive it.

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "common/abort_poll.h"

namespace veldra {

// What a work is given on its thread: the poll of its stop flag and where it tells how
// far it has come (a stage of its own numbering and the fraction of that stage, 0..1).
struct TWorkContext {
    AbortPoll stop;
    std::function<void(int stage, double fraction)> progress;
};

// Runs on the interface thread once the work has ended, unless the job was abandoned.
using TWorkDone = std::function<void()>;
// The work itself, run on the job's thread; what it returns is its result's delivery.
using TWork = std::function<TWorkDone(const TWorkContext& context)>;

class TBackgroundWork : public QObject {
  public:
    // Shown every so often while the current job runs (fraction < 0 until the work
    // has told any), on the interface thread.
    using TProgressShown = std::function<void(int stage, double fraction)>;
    // The work threw or its thread could not be started: no result will come.
    using TWorkFailed = std::function<void()>;

    explicit TBackgroundWork(QObject* parent = nullptr);
    ~TBackgroundWork() override;
    TBackgroundWork(const TBackgroundWork&) = delete;
    TBackgroundWork& operator=(const TBackgroundWork&) = delete;

    // Starts `work` as the current job; a current job is abandoned first.
    void Start(TWork work, TProgressShown shown, TWorkFailed failed);
    // True while a job runs that was not abandoned.
    bool Busy() const { return current_ != nullptr; }
    // True once the current job was told to stop (its result is still to come).
    bool Stopping() const;
    // Asks the current job to stop; its result comes when the work has ended.
    void Stop();
    // Stops the current job and drops its result; the window goes on at once.
    void Abandon();
    // Stops and drops every job and waits for their threads (the window closing).
    void AbandonAndJoinAll();
    // Threads not yet joined, abandoned ones included.
    size_t Threads() const { return jobs_.size(); }

  private:
    struct Job;
    void Ended(const std::shared_ptr<Job>& job, const TWorkDone& done);
    void ShowProgress();

    std::vector<std::shared_ptr<Job>> jobs_;
    std::shared_ptr<Job> current_;
    QTimer progressTimer_;
};

}  // namespace veldra
