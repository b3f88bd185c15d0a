#include "app/escape_poll.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

namespace veldra {
namespace {

// Without an X server the poll follows the Escape presses the application has seen.
TEST(EscapePoll, FollowsEscapeWithoutAnXServer) {
    TEscapePoll poll;
    if (poll.ReadsServerKeymap()) GTEST_SKIP() << "reads the X server's keymap";
    QWidget target;
    EXPECT_FALSE(poll.IsEscapeDown());
    QTest::keyPress(&target, Qt::Key_Escape);
    EXPECT_TRUE(poll.IsEscapeDown());
    QTest::keyPress(&target, Qt::Key_A);
    EXPECT_TRUE(poll.IsEscapeDown()) << "another key leaves Escape held";
    QTest::keyRelease(&target, Qt::Key_Escape);
    EXPECT_FALSE(poll.IsEscapeDown());
}

}  // namespace
}  // namespace veldra
