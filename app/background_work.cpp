#include "app/background_work.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "regions/faces.h"

namespace veldra {

namespace {

// The status line follows the work this often: often enough to see it move, seldom
// enough not to cost the window anything.
constexpr int kProgressIntervalMs = 100;

}  // namespace

struct TBackgroundWork::Job {
    std::thread thread;
    std::atomic<bool> stop{false};
    std::atomic<int> stage{0};
    std::atomic<int> permille{-1};
    // Interface thread only.
    bool dropped = false;
    TProgressShown shown;
    TWorkFailed failed;
};

TBackgroundWork::TBackgroundWork(QObject* parent) : QObject(parent) {
    progressTimer_.setInterval(kProgressIntervalMs);
    connect(&progressTimer_, &QTimer::timeout, this, [this] { ShowProgress(); });
}

TBackgroundWork::~TBackgroundWork() {
    AbandonAndJoinAll();
}

void TBackgroundWork::Start(TWork work, TProgressShown shown, TWorkFailed failed) {
    Abandon();
    auto job = std::make_shared<Job>();
    job->shown = std::move(shown);
    job->failed = std::move(failed);
    try {
        job->thread = std::thread([this, job, work = std::move(work)] {
            TWorkContext context;
            context.stop = StopFlagPoll(job->stop);
            context.progress = [&job = *job](int stage, double fraction) {
                const double f = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
                job.stage.store(stage, std::memory_order_relaxed);
                job.permille.store(static_cast<int>(f * 1000), std::memory_order_relaxed);
            };
            TWorkDone done;
            try {
                done = work(context);
            } catch (...) {
                done = nullptr;  // out of memory and the like: reported as failed
            }
            // The last thing the thread does: this object joins it before it goes, so
            // the posted call finds it alive (or is discarded with it).
            QMetaObject::invokeMethod(
                this, [this, job, done = std::move(done)] { Ended(job, done); },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        if (job->failed) job->failed();
        return;
    }
    jobs_.push_back(job);
    current_ = job;
    progressTimer_.start();
}

bool TBackgroundWork::Stopping() const {
    return current_ && current_->stop.load(std::memory_order_relaxed);
}

void TBackgroundWork::Stop() {
    if (current_) current_->stop.store(true, std::memory_order_relaxed);
}

void TBackgroundWork::Abandon() {
    if (!current_) return;
    current_->stop.store(true, std::memory_order_relaxed);
    current_->dropped = true;
    current_.reset();
    progressTimer_.stop();
}

void TBackgroundWork::AbandonAndJoinAll() {
    Abandon();
    for (const std::shared_ptr<Job>& job : jobs_) {
        job->stop.store(true, std::memory_order_relaxed);
        job->dropped = true;
    }
    for (const std::shared_ptr<Job>& job : jobs_) {
        if (job->thread.joinable()) job->thread.join();
    }
    jobs_.clear();
}

void TBackgroundWork::Ended(const std::shared_ptr<Job>& job, const TWorkDone& done) {
    const auto at = std::find(jobs_.begin(), jobs_.end(), job);
    if (at == jobs_.end()) return;  // joined already (the window closed)
    if (job->thread.joinable()) job->thread.join();
    jobs_.erase(at);
    if (job->dropped) return;
    if (job == current_) {
        current_.reset();
        progressTimer_.stop();
    }
    // The delivery may start the next job.
    if (done) {
        done();
    } else if (job->failed) {
        job->failed();
    }
}

void TBackgroundWork::ShowProgress() {
    if (!current_ || !current_->shown) return;
    const int permille = current_->permille.load(std::memory_order_relaxed);
    current_->shown(current_->stage.load(std::memory_order_relaxed),
                    permille < 0 ? -1.0 : permille / 1000.0);
}

}  // namespace veldra
