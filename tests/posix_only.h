#pragma once

// Tests that need what only POSIX systems give a test (FIFOs, fork, file size
// limits, /dev, permission bits, symbolic links without privileges) are compiled
// only there; on Windows a test of the same name is reported skipped with the reason:
//
//   #ifndef _WIN32
//   TEST(Suite, Name) { ... }
//   #else
//   VELDRA_SKIPPED_ON_WINDOWS(Suite, Name, "needs a FIFO")
//   #endif

#include <gtest/gtest.h>

#define VELDRA_SKIPPED_ON_WINDOWS(suite, name, reason) \
    TEST(suite, name) {                                \
        GTEST_SKIP() << "POSIX only: " reason;         \
    }
#define VELDRA_SKIPPED_ON_WINDOWS_F(fixture, name, reason) \
    TEST_F(fixture, name) {                                \
        GTEST_SKIP() << "POSIX only: " reason;             \
    }
