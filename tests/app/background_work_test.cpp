// Work off the interface thread: results come back on the interface thread, a stop
// reaches the work's poll, an abandoned job's result is dropped while the window goes
// on, and no thread outlives the object.

#include "app/background_work.h"

#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

namespace veldra {
namespace {

using namespace std::chrono_literals;

// A work that polls its stop flag (as the face build does) until told to stop or
// released, and says how far it is.
TWork PollingWork(const std::shared_ptr<std::atomic<bool>>& release,
                  const std::shared_ptr<int>& delivered) {
    return [release, delivered](const TWorkContext& context) -> TWorkDone {
        context.progress(0, 0.5);
        bool stopped = false;
        while (!release->load()) {
            if (context.stop()) {
                stopped = true;
                break;
            }
            std::this_thread::sleep_for(1ms);
        }
        return [delivered, stopped] { *delivered = stopped ? 2 : 1; };
    };
}

TEST(BackgroundWorkTest, ResultComesOnTheInterfaceThreadWithTheProgressOnTheWay) {
    TBackgroundWork work;
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto delivered = std::make_shared<int>(0);
    double shown = -1;
    work.Start(PollingWork(release, delivered), [&](int, double f) { shown = f; }, {});
    EXPECT_TRUE(work.Busy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown >= 0; }, 10000));
    EXPECT_DOUBLE_EQ(shown, 0.5);
    EXPECT_EQ(*delivered, 0) << "nothing arrives while the work runs";
    release->store(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return *delivered != 0; }, 10000));
    EXPECT_EQ(*delivered, 1);
    EXPECT_FALSE(work.Busy());
    EXPECT_EQ(work.Threads(), 0u);
}

TEST(BackgroundWorkTest, StopReachesThePollAndTheResultStillComes) {
    TBackgroundWork work;
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto delivered = std::make_shared<int>(0);
    work.Start(PollingWork(release, delivered), {}, {});
    work.Stop();
    EXPECT_TRUE(work.Stopping());
    ASSERT_TRUE(QTest::qWaitFor([&] { return *delivered != 0; }, 10000));
    EXPECT_EQ(*delivered, 2);
}

// Work that never polls (the loop search): abandoned, the caller goes on at once; the
// result is dropped when the work ends, and its thread joined then.
TEST(BackgroundWorkTest, AbandonedWorkIsDroppedAndItsThreadJoinedOnceItEnds) {
    TBackgroundWork work;
    auto release = std::make_shared<std::atomic<bool>>(false);
    bool delivered = false;
    work.Start(
        [release, &delivered](const TWorkContext&) -> TWorkDone {
            while (!release->load()) std::this_thread::sleep_for(1ms);
            return [&delivered] { delivered = true; };
        },
        {}, {});
    work.Abandon();
    EXPECT_FALSE(work.Busy());
    EXPECT_EQ(work.Threads(), 1u);
    // A new job may start beside the abandoned one.
    auto delivered2 = std::make_shared<int>(0);
    auto release2 = std::make_shared<std::atomic<bool>>(true);
    work.Start(PollingWork(release2, delivered2), {}, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return *delivered2 != 0; }, 10000));
    release->store(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return work.Threads() == 0; }, 10000));
    QTest::qWait(20);
    EXPECT_FALSE(delivered);
}

TEST(BackgroundWorkTest, DestructionStopsAndJoinsEveryThread) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto delivered = std::make_shared<int>(0);
    std::atomic<bool> ended{false};
    {
        TBackgroundWork work;
        work.Start(
            [&ended, inner = PollingWork(release, delivered)](const TWorkContext& context) {
                TWorkDone done = inner(context);
                ended = true;
                return done;
            },
            {}, {});
    }
    EXPECT_TRUE(ended.load()) << "the stop flag ended the work before the object went";
    QTest::qWait(20);
    EXPECT_EQ(*delivered, 0) << "nothing is delivered to an object that is gone";
}

TEST(BackgroundWorkTest, WorkThatThrowsIsReportedAsFailed) {
    TBackgroundWork work;
    bool failed = false;
    work.Start([](const TWorkContext&) -> TWorkDone { throw std::runtime_error("no memory"); }, {},
               [&] { failed = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return failed; }, 10000));
    EXPECT_FALSE(work.Busy());
}

}  // namespace
}  // namespace veldra
