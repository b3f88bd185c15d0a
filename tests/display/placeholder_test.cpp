#include <gtest/gtest.h>

// Keeps the drawing test program non-empty until its first real tests land.
TEST(DrawTests, Builds) {
    SUCCEED();
}
