#include "app/escape_poll.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

namespace veldra {
namespace {

using std::chrono::milliseconds;
using TimePoint = std::chrono::steady_clock::time_point;

// Without an X server the poll follows the Escape presses the application has seen.
TEST(EscapePoll, FollowsEscapeWithoutAnXServer) {
    TEscapePoll poll;
    if (poll.ReadsPlatformKeyState()) GTEST_SKIP() << "reads the platform's key state";
    QWidget target;
    EXPECT_FALSE(poll.IsEscapeDown());
    QTest::keyPress(&target, Qt::Key_Escape);
    EXPECT_TRUE(poll.IsEscapeDown());
    QTest::keyPress(&target, Qt::Key_A);
    EXPECT_TRUE(poll.IsEscapeDown()) << "another key leaves Escape held";
    QTest::keyRelease(&target, Qt::Key_Escape);
    EXPECT_FALSE(poll.IsEscapeDown());
}

// A platform key state that counts its readings, on a clock the test moves.
struct TFakeKey {
    int reads = 0;
    bool down = false;
    TimePoint now{};
};

class TFakeReader : public TEscapeKeyReader {
  public:
    explicit TFakeReader(TFakeKey& key) : key_(key) {}
    bool IsDown() override { return ++key_.reads, key_.down; }

  private:
    TFakeKey& key_;
};

TEscapePoll MakePoll(TFakeKey& key) {
    return TEscapePoll(std::make_unique<TFakeReader>(key), [&key] { return key.now; });
}

// However often a redraw polls, the platform is asked at most once per interval,
// and a key pressed during the pass is seen within one interval.
TEST(EscapePoll, AsksThePlatformAtMostOncePerInterval) {
    TFakeKey key;
    TEscapePoll poll = MakePoll(key);
    poll.StartPass();
    for (int i = 0; i < 1000; ++i) EXPECT_FALSE(poll.IsEscapeDown());
    EXPECT_EQ(key.reads, 1);
    key.down = true;
    key.now += kEscapePollInterval - milliseconds(1);
    EXPECT_FALSE(poll.IsEscapeDown()) << "not asked again before the interval is over";
    EXPECT_EQ(key.reads, 1);
    key.now += milliseconds(1);
    EXPECT_TRUE(poll.IsEscapeDown());
    EXPECT_EQ(key.reads, 2);
    key.down = false;
    key.now += kEscapePollInterval * 3;
    EXPECT_FALSE(poll.IsEscapeDown()) << "released";
    EXPECT_EQ(key.reads, 3);
}

// Escape held when a pass starts stops it at the first poll, even right after the
// previous pass read the key as up.
TEST(EscapePoll, EveryPassReadsAtItsFirstPoll) {
    TFakeKey key;
    TEscapePoll poll = MakePoll(key);
    poll.StartPass();
    EXPECT_FALSE(poll.IsEscapeDown());
    key.down = true;
    poll.StartPass();  // no time has passed
    EXPECT_TRUE(poll.IsEscapeDown());
    EXPECT_EQ(key.reads, 2);
}

}  // namespace
}  // namespace veldra
